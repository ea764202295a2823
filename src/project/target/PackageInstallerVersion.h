#pragma once
// The Windows Installer version a package needs: its summary information's page count, 100 times the
// version (301 for 3.1, 405 for 4.5, 500 for 5.0). The compound file is read by libmsi.
#include <QString>

#include <optional>

namespace pw {

// Nothing when `path` is no package libmsi can open, or its summary information holds no page count.
std::optional<int> PackageInstallerVersion(const QString& path);

}  // namespace pw
