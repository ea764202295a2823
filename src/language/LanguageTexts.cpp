#include "language/LanguageTexts.h"

#include "language/LanguageFile.h"

#include <utility>

namespace pw {
namespace {

// The first eight, in this order, are the build's status and message texts that every language file has
// known; the others came later, with the messages they name.
const std::pair<const char*, QString BuildTexts::*> kBuildKeys[] = {
    {"iMessage", &BuildTexts::MessageStr},
    {"iErrMessage", &BuildTexts::ErrMessageStr},
    {"iCompactZip", &BuildTexts::CompactZipStr},
    {"iCompileSFX", &BuildTexts::CompileSFXStr},
    {"iProcessInfo", &BuildTexts::ProcessInfoStr},
    {"iCompactCAB", &BuildTexts::CompactCABStr},
    {"iInitProcess", &BuildTexts::InitProcessStr},
    {"iDelTemp", &BuildTexts::DelTempStr},
    {"iOutFolderRefused", &BuildTexts::OutputFolderRefusedStr},
    {"iFolderNotRead", &BuildTexts::FolderNotReadStr},
    {"iNoStartFile", &BuildTexts::NoStartFileStr},
    {"iStartFileMissing", &BuildTexts::StartFileMissingStr},
    {"iAppFileMissing", &BuildTexts::AppFileMissingStr},
    {"iNoFolder", &BuildTexts::NoFolderStr},
    {"iFolderGone", &BuildTexts::FolderGoneStr},
    {"iReadOnlyFolder", &BuildTexts::ReadOnlyFolderStr},
    {"iDiskFull", &BuildTexts::DiskFullStr},
    {"iEmptyFolder", &BuildTexts::EmptyFolderStr},
    {"iNoStartFiles", &BuildTexts::NoStartFilesStr},
    {"iNotStartFile", &BuildTexts::NotStartFileStr},
    {"iFileMade", &BuildTexts::FileMadeStr},
    {"iOpenFolder", &BuildTexts::OpenFolderStr},
    {"iStopKey", &BuildTexts::StopKeyStr},
    {"iStopped", &BuildTexts::StoppedStr},
    {"iNotAFolder", &BuildTexts::NotAFolderStr},
    {"iFolderUnusable", &BuildTexts::FolderUnusableStr},
    {"iUnreadableFile", &BuildTexts::UnreadableFileStr},
    {"iNoReadPermission", &BuildTexts::NoReadPermissionStr},
    {"iFileVanished", &BuildTexts::FileVanishedStr},
    {"iReadError", &BuildTexts::ReadErrorStr},
    {"iInstallerTooBig", &BuildTexts::InstallerTooBigStr},
    // Names and values an add-on cannot carry.
    {"iNameCharacter", &BuildTexts::NameCharacterStr},
    {"iNameDotBlank", &BuildTexts::NameDotBlankStr},
    {"iNameDevice", &BuildTexts::NameDeviceStr},
    {"iNameCase", &BuildTexts::NameCaseStr},
    {"iNameRunner", &BuildTexts::NameRunnerStr},
    {"iNameLength", &BuildTexts::NameLengthStr},
    {"iFileSize", &BuildTexts::FileSizeStr},
    {"iNameCodePage", &BuildTexts::NameCodePageStr},
    {"iNamePercent", &BuildTexts::NamePercentStr},
    {"iLineBreak", &BuildTexts::LineBreakStr},
    {"iNoOutputName", &BuildTexts::NoOutputNameStr},
    {"iShortcutNoTarget", &BuildTexts::ShortcutNoTargetStr},
    {"iNameBlank", &BuildTexts::NameBlankStr},
    // Around the installer's silent switch, and the window's "Testar".
    {"iNoSwitch", &BuildTexts::NoSwitchStr},
    {"iBuildAnyway", &BuildTexts::BuildAnywayStr},
    {"iGoBack", &BuildTexts::GoBackStr},
    {"iKindSwitch", &BuildTexts::KindSwitchStr},
    {"iChooseAddon", &BuildTexts::ChooseAddonStr},
    {"iKindUnknown", &BuildTexts::KindUnknownStr},
    {"iKindNSIS", &BuildTexts::KindNsisStr},
    {"iKindInnoSetup", &BuildTexts::KindInnoSetupStr},
    {"iKindInstallShield", &BuildTexts::KindInstallShieldStr},
    {"iKindInstallShieldMsi", &BuildTexts::KindInstallShieldMsiStr},
    {"iKindWixBurn", &BuildTexts::KindWixBurnStr},
    {"iKindWindowsInstaller", &BuildTexts::KindWindowsInstallerStr},
    {"iKindSevenZipSfx", &BuildTexts::KindSevenZipSfxStr},
    {"iKindWinRarSfx", &BuildTexts::KindWinRarSfxStr},
    {"iKindIExpress", &BuildTexts::KindIExpressStr},
    {"iKindMicrosoftUpdate", &BuildTexts::KindMicrosoftUpdateStr},
    {"iKindWise", &BuildTexts::KindWiseStr},
    // The disc's Windows, and what would keep the start file from running there.
    {"iTargetXp", &BuildTexts::TargetXpStr},
    {"iTargetXp64", &BuildTexts::TargetXp64Str},
    {"iTarget2003", &BuildTexts::Target2003Str},
    {"iTargetMachine", &BuildTexts::TargetMachineStr},
    {"iTargetSubsystem", &BuildTexts::TargetSubsystemStr},
    {"iTargetLibraries", &BuildTexts::TargetLibrariesStr},
    {"iTargetFunctions", &BuildTexts::TargetFunctionsStr},
    {"iTargetMore", &BuildTexts::TargetMoreStr},
    {"iTargetInstallerDownload", &BuildTexts::TargetInstallerDownloadStr},
    {"iTargetInstallerMissing", &BuildTexts::TargetInstallerMissingStr},
    {"iTargetDotNet", &BuildTexts::TargetDotNetStr},
    {"iTargetDotNet4", &BuildTexts::TargetDotNet4Str},
    {"iTargetHint", &BuildTexts::TargetHintStr},
};

const std::pair<const char*, QString CatalogueTexts::*> kCatalogueKeys[] = {
    {"iNameComma", &CatalogueTexts::NameHasCommaStr},
    {"iOneLine", &CatalogueTexts::LineBreakStr},
    {"iEmptyEntry", &CatalogueTexts::EmptyEntryStr},
};

// A try's texts. Some span lines (the commands that install what a try lacks): a language file, one
// line per key, writes their line breaks as "\\n".
const std::pair<const char*, QString TryTexts::*> kTryKeys[] = {
    {"iTryUnpacking", &TryTexts::UnpackingStr},
    {"iTryPrefix", &TryTexts::PrefixStr},
    {"iTryRunning", &TryTexts::RunningStr},
    {"iTryComparing", &TryTexts::ComparingStr},
    {"iTryCleaning", &TryTexts::CleaningStr},
    {"iTryNoWine", &TryTexts::NoWineStr},
    {"iTryNoXvfb", &TryTexts::NoXvfbStr},
    {"iTryNoSevenZip", &TryTexts::NoSevenZipStr},
    {"iTryNeedWine32", &TryTexts::NeedWine32Str},
    {"iTryNo32BitSystem", &TryTexts::No32BitSystemStr},
    {"iTryNoAddon", &TryTexts::NoAddonStr},
    {"iTryBadLimit", &TryTexts::BadLimitStr},
    {"iTryNotCabinet", &TryTexts::NotCabinetStr},
    {"iTryNoEntries", &TryTexts::NoEntriesStr},
    {"iTryNoAddProgram", &TryTexts::NoAddProgramStr},
    {"iTryWineFailed", &TryTexts::WineFailedStr},
    {"iTryDisplayFailed", &TryTexts::DisplayFailedStr},
    {"iTrySwapFailed", &TryTexts::SwapFailedStr},
    {"iTryHelperMissing", &TryTexts::HelperMissingStr},
    {"iTryScratch", &TryTexts::ScratchStr},
    {"iTryReportFolder", &TryTexts::ReportFolderStr},
    {"iTryStopped", &TryTexts::StoppedStr},
    {"iTryTitle", &TryTexts::TitleStr},
    {"iTryLine", &TryTexts::LineStr},
    {"iTryWine64", &TryTexts::Wine64Str},
    {"iTryResult", &TryTexts::ResultStr},
    {"iTrySilent", &TryTexts::SilentStr},
    {"iTryExitCode", &TryTexts::ExitCodeStr},
    {"iTryNotStarted", &TryTexts::NotStartedStr},
    {"iTryTimedOut", &TryTexts::TimedOutStr},
    {"iTryWindowWait", &TryTexts::WindowWaitStr},
    {"iTryNoTitle", &TryTexts::NoTitleStr},
    {"iTryWindows", &TryTexts::WindowsStr},
    {"iTryWindowLine", &TryTexts::WindowLineStr},
    {"iTryScreenshot", &TryTexts::ScreenshotStr},
    {"iTryLeft", &TryTexts::LeftStr},
    {"iTryFiles", &TryTexts::FilesStr},
    {"iTryRegistry", &TryTexts::RegistryStr},
    {"iTryShortcuts", &TryTexts::ShortcutsStr},
    {"iTryTemp", &TryTexts::TempStr},
    {"iTryNothing", &TryTexts::NothingStr},
    {"iTryAddonLog", &TryTexts::AddonLogStr},
    {"iTryReport", &TryTexts::ReportStr},
    {"iTryInputWait", &TryTexts::InputWaitStr},
    {"iTryWrongArch", &TryTexts::WrongArchStr},
    {"iTryNothingInstalled", &TryTexts::NothingInstalledStr},
    {"iTryImitated", &TryTexts::ImitatedStr},
    {"iTryProcess", &TryTexts::ProcessStr},
    {"iTryProcessOrphan", &TryTexts::ProcessOrphanStr},
    {"iTryPassedMark", &TryTexts::PassedMarkStr},
    {"iTryFailedMark", &TryTexts::FailedMarkStr},
};

// Each field keeps its built-in text when the file lacks its key.
template <typename Texts, std::size_t N>
Texts Load(const LanguageFile& file, const std::pair<const char*, QString Texts::*> (&keys)[N])
{
    Texts texts;
    for (const auto& [key, field] : keys)
        texts.*field = file.String(key, texts.*field);
    return texts;
}

}  // namespace

QByteArray LanguageLocale(const LanguageFile& file)
{
    return file.Info("iLocale", QStringLiteral("pt_BR")).toLatin1();
}

BuildTexts LoadBuildTexts(const LanguageFile& file)
{
    return Load(file, kBuildKeys);
}

CatalogueTexts LoadCatalogueTexts(const LanguageFile& file)
{
    return Load(file, kCatalogueKeys);
}

TryTexts LoadTryTexts(const LanguageFile& file)
{
    TryTexts texts = Load(file, kTryKeys);
    for (const auto& entry : kTryKeys)
        (texts.*entry.second).replace(QLatin1String("\\n"), QLatin1String("\n"));
    return texts;
}

QStringList MessageKeys()
{
    QStringList keys;
    for (const auto& entry : kBuildKeys)
        keys.append(QLatin1String(entry.first));
    for (const auto& entry : kCatalogueKeys)
        keys.append(QLatin1String(entry.first));
    for (const auto& entry : kTryKeys)
        keys.append(QLatin1String(entry.first));
    return keys;
}

}  // namespace pw
