#include "cli/CliTexts.h"

#include "language/LanguageTexts.h"

namespace pw {
namespace {

// The command line's texts, in the order of CliTexts. The exit-status paragraphs span lines: a language
// file, one line per key, writes their line break as "\\n".
const TextKey<CliTexts> kKeys[] = {
    {"iCliUsage", &CliTexts::UsageStr},
    {"iCliOptionsWord", &CliTexts::OptionsWordStr},
    {"iCliDescription", &CliTexts::DescriptionStr},
    {"iCliOptionsHeading", &CliTexts::OptionsHeadingStr},
    {"iCliArgumentsHeading", &CliTexts::ArgumentsHeadingStr},
    {"iCliOutputHelp", &CliTexts::OutputHelpStr},
    {"iCliExitStatus", &CliTexts::ExitStatusStr},
    {"iCliFromHelp", &CliTexts::FromHelpStr},
    {"iCliFolderHelp", &CliTexts::FolderHelpStr},
    {"iCliStartHelp", &CliTexts::StartHelpStr},
    {"iCliSwitchHelp", &CliTexts::SwitchHelpStr},
    {"iCliNoCompactHelp", &CliTexts::NoCompactHelpStr},
    {"iCliLevelHelp", &CliTexts::LevelHelpStr},
    {"iCliOverwriteHelp", &CliTexts::OverwriteHelpStr},
    {"iCliShortcutHelp", &CliTexts::ShortcutHelpStr},
    {"iCliTitleHelp", &CliTexts::TitleHelpStr},
    {"iCliVersionFieldHelp", &CliTexts::VersionFieldHelpStr},
    {"iCliLanguageHelp", &CliTexts::LanguageHelpStr},
    {"iCliBuildDateHelp", &CliTexts::BuildDateHelpStr},
    {"iCliSiteHelp", &CliTexts::SiteHelpStr},
    {"iCliDescriptionHelp", &CliTexts::DescriptionHelpStr},
    {"iCliNoVersionDataHelp", &CliTexts::NoVersionDataHelpStr},
    {"iCliEntriesHelp", &CliTexts::EntriesHelpStr},
    {"iCliFormatHelp", &CliTexts::FormatHelpStr},
    {"iCliLanguageFileHelp", &CliTexts::LanguageFileHelpStr},
    {"iCliTargetHelp", &CliTexts::TargetHelpStr},
    {"iCliTryHelp", &CliTexts::TryHelpStr},
    {"iCliTimeLimitHelp", &CliTexts::TimeLimitHelpStr},
    {"iCliStrictHelp", &CliTexts::StrictHelpStr},
    {"iCliHelpHelp", &CliTexts::HelpHelpStr},
    {"iCliVersionHelp", &CliTexts::VersionHelpStr},
    {"iCliUnknownOption", &CliTexts::UnknownOptionStr},
    {"iCliMissingValue", &CliTexts::MissingValueStr},
    {"iCliUnexpectedValue", &CliTexts::UnexpectedValueStr},
    {"iCliShortcutFields", &CliTexts::ShortcutFieldsStr},
    {"iCliShortcutLocation", &CliTexts::ShortcutLocationStr},
    {"iCliShortcutFolder", &CliTexts::ShortcutFolderStr},
    {"iCliShortcutTarget", &CliTexts::ShortcutTargetStr},
    {"iCliRange", &CliTexts::RangeStr},
    {"iCliTarget", &CliTexts::TargetStr},
    {"iCliTimeLimit", &CliTexts::TimeLimitStr},
    {"iCliFormat", &CliTexts::FormatStr},
    {"iCliNotWithTry", &CliTexts::NotWithTryStr},
    {"iCliOnlyWithTry", &CliTexts::OnlyWithTryStr},
    {"iCliTryEmptyFolder", &CliTexts::TryEmptyFolderStr},
    {"iCliTryAddon", &CliTexts::TryAddonStr},
    {"iCliFolderRequired", &CliTexts::FolderRequiredStr},
    {"iCliStartRequired", &CliTexts::StartRequiredStr},
    {"iCliShortcutNoCompact", &CliTexts::ShortcutNoCompactStr},
    {"iCliSwitchInf", &CliTexts::SwitchInfStr},
    {"iCliOutputRequired", &CliTexts::OutputRequiredStr},
    {"iCliOneOutput", &CliTexts::OneOutputStr},
    {"iCliEntriesUnreadable", &CliTexts::EntriesUnreadableStr},
    {"iCliNoLanguageFile", &CliTexts::NoLanguageFileStr},
    {"iCliSeeHelp", &CliTexts::SeeHelpStr},
    {"iCliFromFolderNotEmpty", &CliTexts::FromFolderNotEmptyStr},
    {"iCliFromStartUnknown", &CliTexts::FromStartUnknownStr},
    {"iCliFromStartNotFound", &CliTexts::FromStartNotFoundStr},
    {"iCliOddExtension", &CliTexts::OddExtensionStr},
    {"iCliWarning", &CliTexts::WarningStr},
};

}  // namespace

CliTexts LoadCliTexts(const LanguageFile& file)
{
    return LoadTexts(file, kKeys);
}

QStringList CliTextKeys()
{
    return KeysOf(kKeys);
}

}  // namespace pw
