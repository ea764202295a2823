#pragma once
// What the window and the command line offer for a start file: the installer technology that made it
// and that technology's silent switch. Only an .exe start file is looked at: a batch file or an INF
// takes no installer switch, and an .msi is always a Windows Installer package that its runner silences.
#include "project/installer/InstallerKind.h"

#include <QString>

#include <optional>

namespace pw {

struct InstallerOffer {
    InstallerKind kind = InstallerKind::Unknown;
    QString silentSwitch;  // empty for an unknown installer
};

// The offer for the start file at `path`, with the switch from the table in `appDir`; nothing
// when `path` is not an .exe file.
std::optional<InstallerOffer> OfferFor(const QString& path, const QString& appDir);

// True when an add-on of `startFile` with `silentSwitch` would start an .exe installer without any
// switch: the commonest way an add-on waits for ever on its first page during Windows setup.
bool LacksSilentSwitch(const QString& startFile, const QString& silentSwitch);

}  // namespace pw
