#include "project/installer/InstallerOffer.h"

#include "project/installer/InstallerSwitches.h"
#include "project/installer/RecogniseInstaller.h"

namespace pw {
namespace {

bool IsExe(const QString& startFile)
{
    return startFile.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive);
}

}  // namespace

std::optional<InstallerOffer> OfferFor(const QString& path, const QString& appDir)
{
    if (!IsExe(path))
        return std::nullopt;
    const InstallerKind kind = RecogniseInstaller(path);
    return InstallerOffer{kind, InstallerSwitch(kind, appDir)};
}

bool LacksSilentSwitch(const QString& startFile, const QString& silentSwitch)
{
    return IsExe(startFile) && silentSwitch.trimmed().isEmpty();
}

}  // namespace pw
