#include "pipeline/BuildTexts.h"

#include "language/LanguageTexts.h"

namespace pw {
namespace {

// The first eight, in this order, are the build's status and message texts that every language file has
// known; the others came later, with the messages they name.
const TextKey<BuildTexts> kKeys[] = {
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
    {"iOpenAddonTitle", &BuildTexts::OpenAddonStr},
    {"iOpenProgramFolder", &BuildTexts::ProgramFolderStr},
    {"iOpening", &BuildTexts::OpeningStr},
    {"iOpened", &BuildTexts::OpenedStr},
    {"iOpenUnread", &BuildTexts::UnreadPartsStr},
    {"iOpenFollowed", &BuildTexts::FollowedStr},
    {"iOpenNoFollower", &BuildTexts::NoFollowerStr},
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
    {"iFolderTakesNoFiles", &BuildTexts::FolderTakesNoFilesStr},
    {"iCabinetNotMade", &BuildTexts::CabinetNotMadeStr},
    {"iAppendedSection", &BuildTexts::AppendedSectionStr},
    {"iNothingOpens", &BuildTexts::NothingOpensStr},
    {"iTargetNotAProgram", &BuildTexts::TargetNotAProgramStr},
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

}  // namespace

BuildTexts LoadBuildTexts(const LanguageFile& file)
{
    return LoadTexts(file, kKeys);
}

QStringList BuildTextKeys()
{
    return KeysOf(kKeys);
}

}  // namespace pw
