#include "pipeline/FileHelpers.h"

#include "pipeline/PendingFiles.h"
#include "platform/FileNames.h"
#include "platform/FileSearch.h"
#include "platform/PartialFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace pw {

QString BareFileName(const QString& path)
{
    const QString name = FileNamePart(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

bool WriteThroughPartialFile(const QString& target, const std::function<bool(const QString& partial)>& write)
{
    const QString partial = PartialFileName(target);
    const PendingFile pending(partial);
    bool made = false;
    try {
        made = write(partial);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    if (!made || !QFileInfo::exists(partial)) {
        QFile::remove(partial);
        return false;
    }
    GivePartialFileItsName(partial, target);
    return true;
}

void ListFiles(const QString& mask, QStringList& list)
{
    QString folder, pattern;
    SplitMask(mask, &folder, &pattern);
    for (const DirEntry& e : FindEntries(folder, pattern).entries) {
        if (!e.name.startsWith(QLatin1Char('.')))
            list.append(e.name);
    }
    std::sort(list.begin(), list.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

bool DeleteFiles(const QString& mask)
{
    QString folder, pattern;
    SplitMask(mask, &folder, &pattern);
    const QList<DirEntry> entries = FindEntries(folder, pattern).entries;
    for (const DirEntry& e : entries) {
        if (!e.isDir)
            QFile::remove(folder + e.name);
    }
    return !entries.isEmpty();
}

}  // namespace pw
