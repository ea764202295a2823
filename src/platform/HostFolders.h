#pragma once
// The two folders the program works in. Both are returned with a trailing "/".
#include <QString>

namespace pw {

// Folder of the running program file: where the language files, "7zS.sfx" and the runner programs lie.
QString ApplicationFolder();

// The per-machine data folder of this host (the XDG data home), without a trailing "/".
QString CommonAppDataFolder();

// CommonAppDataFolder() + "/Brontel/Packwright/": settings, catalogue and the working folder "temp/".
QString DataFolder();

// Full path of the running program file.
QString ProgramFilePath();

}  // namespace pw
