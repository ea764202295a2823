#pragma once
// The installer technologies a start file is recognised as. Each has its silent switch in the switch
// table (InstallerSwitches).
#include <QString>

namespace pw {

enum class InstallerKind {
    Unknown,
    Nsis,
    InnoSetup,
    InstallShield,     // InstallScript: a classic InstallShield setup.exe
    InstallShieldMsi,  // an InstallShield setup.exe that carries a Windows Installer package
    WixBurn,
    WindowsInstaller,  // an .msi start file
    SevenZipSfx,       // a 7-Zip self-extractor, ours included
    WinRarSfx,
    IExpress,
    MicrosoftUpdate,   // a Microsoft software update package (update.exe, hotfix.exe)
    Wise,
};

inline constexpr InstallerKind kAllInstallerKinds[] = {
    InstallerKind::Unknown,       InstallerKind::Nsis,          InstallerKind::InnoSetup,
    InstallerKind::InstallShield, InstallerKind::InstallShieldMsi, InstallerKind::WixBurn,
    InstallerKind::WindowsInstaller, InstallerKind::SevenZipSfx, InstallerKind::WinRarSfx,
    InstallerKind::IExpress,      InstallerKind::MicrosoftUpdate, InstallerKind::Wise,
};

}  // namespace pw
