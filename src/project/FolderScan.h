#pragma once
// The program folder and the candidates for its start file.
#include <QString>
#include <QStringList>

#include <optional>

namespace pw {

struct FolderScanResult {
    QStringList folderEntries;  // top-level entries, folders with "\" appended, in enumeration order
    QStringList startFiles;     // the entries with an accepted start-file extension, same order
};

// Lists `folder`. Nothing when it names no existing folder (the caller then keeps its previous state).
std::optional<FolderScanResult> FolderScan(const QString& folder);

// True for ".exe", ".bat", ".cmd", ".com", ".msi" and ".inf", in any letter case.
bool IsStartFileName(const QString& name);

// The start file, among a folder's `startFiles`, that follows `oldStartFile` of an earlier version of the
// program: the same name, else the only one named the same but for its version numbers ("setup-1.2.exe",
// "setup-1.3.exe"). Empty when there is none, or several.
QString FollowingStartFile(const QStringList& startFiles, const QString& oldStartFile);

}  // namespace pw
