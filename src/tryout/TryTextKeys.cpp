#include "tryout/TryTexts.h"

#include "language/LanguageTexts.h"

namespace pw {
namespace {

// A try's texts. Some span lines (the commands that install what a try lacks): a language file, one
// line per key, writes their line breaks as "\\n".
const TextKey<TryTexts> kKeys[] = {
    {"iTryUnpacking", &TryTexts::UnpackingStr},
    {"iTryAddon", &TryTexts::AddonStr},
    {"iTryTableHead", &TryTexts::TableHeadStr},
    {"iTryTableSilent", &TryTexts::TableSilentStr},
    {"iTryTableFailed", &TryTexts::TableFailedStr},
    {"iTryTableNotTried", &TryTexts::TableNotTriedStr},
    {"iTryTableTotal", &TryTexts::TableTotalStr},
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

}  // namespace

TryTexts LoadTryTexts(const LanguageFile& file)
{
    return LoadTexts(file, kKeys);
}

QStringList TryTextKeys()
{
    return KeysOf(kKeys);
}

}  // namespace pw
