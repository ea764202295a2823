#pragma once
// Directory search with the host's Windows-style wildcard patterns, shared by every part of the program
// that lists a folder (folder scan, temporary-file clean-up, archive writers).
#include <QList>
#include <QString>

namespace pw {

struct DirEntry {
    QString name;  // bare name, no folder
    bool isDir = false;
};

struct DirListing {
    QList<DirEntry> entries;  // in the order the file system returns them; "." and ".." left out
    int error = 0;            // errno of a listing that failed (missing or unreadable folder), else 0
};

// Windows wildcard match without regard to letter case: "*" any run, "?" one character, and a pattern
// "*.*" that matches every name, with or without a dot.
bool WildcardMatch(const QString& pattern, const QString& name);

// Entries of `folder` whose names match `pattern`, files and folders alike, hidden ones included.
DirListing FindEntries(const QString& folder, const QString& pattern);

// Splits "folder/pattern" at its last "/" (or "\"): the folder keeps its separator, as in "dir/".
void SplitMask(const QString& mask, QString* folder, QString* pattern);

// True for a name that holds "*" or "?".
bool HasWildcards(const QString& name);

}  // namespace pw
