#pragma once
// A file that is being written lives under a hidden name beside its own until it is complete, so that a
// failed or stopped build leaves neither a half-written file nor the loss of an earlier one.
#include <QString>

namespace pw {

// ".NAME.partial" in the folder of `path`.
QString PartialFileName(const QString& path);

// Gives the complete file `partial` the name `path`, replacing a file of that name. Removes `partial` and
// throws "Cannot create file" when it cannot.
void GivePartialFileItsName(const QString& partial, const QString& path);

}  // namespace pw
