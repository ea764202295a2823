#include "project/FolderScan.h"

#include "platform/FileSearch.h"
#include "project/StartFileKinds.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace pw {
namespace {

// A start file's name without its version: each run of digits and the dots, dashes and underscores between
// them stands as one mark.
QString Versionless(const QString& name)
{
    static const QRegularExpression version(QStringLiteral("[0-9]+([._-][0-9]+)*"));
    return QString(name).replace(version, QStringLiteral("#")).toLower();
}

}  // namespace

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

QString FollowingStartFile(const QStringList& startFiles, const QString& oldStartFile)
{
    if (startFiles.contains(oldStartFile))
        return oldStartFile;
    QStringList alike;
    for (const QString& name : startFiles) {
        if (Versionless(name) == Versionless(oldStartFile))
            alike.append(name);
    }
    return alike.size() == 1 ? alike.front() : QString();
}

}  // namespace pw
