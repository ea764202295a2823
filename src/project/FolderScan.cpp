#include "project/FolderScan.h"

#include "platform/FileSearch.h"
#include "project/StartFileKinds.h"

#include <QFileInfo>

namespace pw {

bool IsStartFileName(const QString& name)
{
    if (name.endsWith(QLatin1Char('\\')))
        return false;
    return StartFileKindOf(name) != nullptr;
}

std::optional<FolderScanResult> FolderScan(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return std::nullopt;
    FolderScanResult result;
    for (const DirEntry& e : FindEntries(folder, QStringLiteral("*.*")).entries) {
        if (e.name.startsWith(QLatin1Char('.')))
            continue;
        result.folderEntries.append(e.isDir ? e.name + QLatin1Char('\\') : e.name);
    }
    for (const QString& entry : result.folderEntries) {
        if (IsStartFileName(entry))
            result.startFiles.append(entry);
    }
    return result;
}

}  // namespace pw
