#pragma once
// Small file helpers of the build, also used for the language list and the packing step.
#include <QString>
#include <QStringList>

#include <functional>

namespace pw {

// File-name part of `path` without its last extension: "/out/my.cabinet.cab" gives "my.cabinet".
QString BareFileName(const QString& path);

// Copies every byte of `source` to `dest`, replacing it. Errors are not reported: callers test whether
// `dest` exists afterwards. A copy that fails part-way leaves no `dest` behind, so that test is honest.
void CopyFileData(const QString& source, const QString& dest);

// Has `write` make the output of a build under a hidden name of its own beside `target`, and gives that
// file the target's name only once `write` has returned without an error and the file exists: a failed or
// stopped build leaves neither a partial file nor the loss of an earlier file there. Raises "Cannot
// create file" when the renaming fails.
void WriteThroughPartialFile(const QString& target, const std::function<void(const QString& partial)>& write);

// Bare names of the entries matching `mask` ("folder/pattern"), files and folders, names beginning with
// "." left out, sorted without regard to case; appended to `list`.
void ListFiles(const QString& mask, QStringList& list);

// Deletes the files matching `mask`; folders are never removed and failures are ignored. False when
// nothing matched.
bool DeleteFiles(const QString& mask);

}  // namespace pw
