#include "project/installer/InstallerSwitches.h"

#include "platform/CodePage.h"
#include "platform/ProfileFile.h"

#include <algorithm>
#include <iterator>

namespace pw {
namespace {

struct BuiltIn {
    InstallerKind kind;
    const char* section;
    const char* silentSwitch;
};

// Why each switch is what it is, and its vendor's document, is said in data/Installers.qmr.
constexpr BuiltIn kBuiltIn[] = {
    {InstallerKind::Unknown, "Unknown", ""},
    {InstallerKind::Nsis, "NSIS", "/S"},
    {InstallerKind::InnoSetup, "InnoSetup", "/VERYSILENT /SUPPRESSMSGBOXES /NORESTART /SP-"},
    {InstallerKind::InstallShield, "InstallShield", "/s"},
    {InstallerKind::InstallShieldMsi, "InstallShieldMsi",
     "/s /v\"/qn REBOOT=ReallySuppress\""},
    {InstallerKind::WixBurn, "WixBurn", "/quiet /norestart"},
    {InstallerKind::WindowsInstaller, "WindowsInstaller", ""},
    {InstallerKind::SevenZipSfx, "SevenZipSfx", "-y"},
    {InstallerKind::WinRarSfx, "WinRarSfx", "/S"},
    {InstallerKind::IExpress, "IExpress", "/Q /R:N"},
    {InstallerKind::MicrosoftUpdate, "MicrosoftUpdate", "/quiet /norestart"},
    {InstallerKind::Wise, "Wise", "/s"},
};
static_assert(std::size(kBuiltIn) == std::size(kAllInstallerKinds));

const BuiltIn& BuiltInOf(InstallerKind kind)
{
    return *std::find_if(std::begin(kBuiltIn), std::end(kBuiltIn), [kind](const BuiltIn& b) { return b.kind == kind; });
}

QString TableValue(InstallerKind kind, const char* key, const char* builtIn, const QString& appDir)
{
    constexpr int kValueSize = 2048;
    return AnsiToUnicode(GetPrivateProfileString(BuiltInOf(kind).section, key, UnicodeToAnsi(QString::fromLatin1(builtIn)),
                                                 kValueSize, InstallersFilePath(appDir)));
}

}  // namespace

QString InstallerSection(InstallerKind kind)
{
    return QString::fromLatin1(BuiltInOf(kind).section);
}

QString InstallersFilePath(const QString& appDir)
{
    return appDir + QStringLiteral("Installers.qmr");
}

QString InstallerSwitch(InstallerKind kind, const QString& appDir)
{
    return TableValue(kind, "Switch", BuiltInOf(kind).silentSwitch, appDir);
}

QString BuiltInInstallerSwitch(InstallerKind kind)
{
    return QString::fromLatin1(BuiltInOf(kind).silentSwitch);
}

}  // namespace pw
