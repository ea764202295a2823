#pragma once
// The silent switch of each installer technology. The table ships as "Installers.qmr" in AppDir, one
// section per kind with its switch, so a user can correct a switch without a rebuild; the program's own
// table gives the same defaults when the file or a key is missing. The names shown for the kinds are
// texts of the language files (InstallerKindName).
#include "project/installer/InstallerKind.h"

#include <QString>

namespace pw {

// The section of the table that holds `kind`: "NSIS", "InnoSetup", ...
QString InstallerSection(InstallerKind kind);

// The path of the table in `appDir` (which ends in "/").
QString InstallersFilePath(const QString& appDir);

// The silent switch of `kind`, from the table in `appDir`, else the built-in one. The switch of Unknown
// is empty: nothing is known to make an unknown installer silent.
QString InstallerSwitch(InstallerKind kind, const QString& appDir);

// The built-in value, which the shipped file repeats.
QString BuiltInInstallerSwitch(InstallerKind kind);

}  // namespace pw
