#include "shell/Poll.h"

#include "project/StartFileKinds.h"

#include <QFile>

#include <sys/stat.h>

namespace pw {

bool FileExists(const QString& path)
{
    // A plain stat: the poll asks this a thousand times a second.
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISDIR(st.st_mode);
}

PollState EvaluatePoll(const PollInputs& in)
{
    PollState s;
    s.criaEnabled = !in.folderEntriesEmpty && !in.startFile.isEmpty() &&
                    FileExists(in.sourceDir + QLatin1Char('/') + in.startFile) && !in.busy;
    s.comprLevEnabled = in.compact;
    s.sfxTabVisible = in.compact;
    s.silCommEnabled = TakesSilentSwitch(in.startFile);
    s.silStrEnabled = s.silCommEnabled;
    s.removeShortcutEnabled = in.shortcutSelected;
    s.clearShortcutsEnabled = in.shortcutCount > 0;
    return s;
}

}  // namespace pw
