#include "project/Poll.h"

#include "project/StartFileKinds.h"

#include <QFile>

#include <sys/stat.h>

namespace pw {

namespace {

enum class Entry { Missing, Folder, File };

Entry EntryAt(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return Entry::Missing;
    return S_ISDIR(st.st_mode) ? Entry::Folder : Entry::File;
}

}  // namespace

bool FileExists(const QString& path)
{
    return EntryAt(path) == Entry::File;
}

PollState EvaluatePoll(const PollInputs& in)
{
    PollState s;
    const bool chosen = !in.folderEntriesEmpty && !in.startFile.isEmpty();
    const bool exists = chosen && FileExists(in.sourceDir + QLatin1Char('/') + in.startFile);
    s.criaEnabled = exists && !in.busy;
    if (chosen && !exists) {
        s.folderGone = EntryAt(in.sourceDir) != Entry::Folder;
        s.startFileGone = !s.folderGone;
    }
    const bool editable = !in.busy;
    s.inputsEnabled = editable;
    s.pagesVisible = editable;
    s.comprLevEnabled = in.compact && editable;
    s.sfxTabVisible = in.compact && editable;
    s.silCommEnabled = TakesSilentSwitch(in.startFile) && editable;
    s.silStrEnabled = s.silCommEnabled;
    s.removeShortcutEnabled = in.shortcutSelected && editable;
    s.clearShortcutsEnabled = in.shortcutCount > 0 && editable;
    return s;
}

}  // namespace pw
