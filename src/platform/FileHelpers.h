#pragma once
// Listing and deleting the entries of a folder that match a wildcard mask, as the language list and the
// clean-up of a build's temporary files do; and removing a folder whole.
#include <QString>
#include <QStringList>

namespace pw {

// Bare names of the entries matching `mask` ("folder/pattern"), files and folders, names beginning with
// "." left out, sorted without regard to case; appended to `list`.
void ListFiles(const QString& mask, QStringList& list);

// Deletes the files matching `mask`, names beginning with "." included (a build's temporary files take
// the output's name, whatever it begins with); folders are never removed and failures are ignored. False
// when nothing matched.
bool DeleteFiles(const QString& mask);

// Removes `path` and everything in it, also folders an installer left without write permission. Links
// are removed, never followed.
bool RemoveTree(const QString& path);

}  // namespace pw
