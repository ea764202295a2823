#pragma once
// Small file helpers of the build, also used for the language list and the packing step.
#include <QString>
#include <QStringList>

#include <functional>

namespace pw {

// File-name part of `path` without its last extension: "/out/my.cabinet.cab" gives "my.cabinet".
QString BareFileName(const QString& path);

// Has `write` make the output of a build under a hidden name of its own beside `target`, and gives that
// file the target's name only once `write` has said it made the file: a failed or stopped build leaves
// neither a partial file nor the loss of an earlier file there. True when `target` is the file just made;
// false when `write` made none. Raises "Cannot create file" when the renaming fails.
bool WriteThroughPartialFile(const QString& target, const std::function<bool(const QString& partial)>& write);

// Bare names of the entries matching `mask` ("folder/pattern"), files and folders, names beginning with
// "." left out, sorted without regard to case; appended to `list`.
void ListFiles(const QString& mask, QStringList& list);

// Deletes the files matching `mask`, names beginning with "." included (a build's temporary files take
// the output's name, whatever it begins with); folders are never removed and failures are ignored. False
// when nothing matched.
bool DeleteFiles(const QString& mask);

}  // namespace pw
