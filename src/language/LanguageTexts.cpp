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
};

const std::pair<const char*, QString CatalogueTexts::*> kCatalogueKeys[] = {
    {"iNameComma", &CatalogueTexts::NameHasCommaStr},
    {"iOneLine", &CatalogueTexts::LineBreakStr},
    {"iEmptyEntry", &CatalogueTexts::EmptyEntryStr},
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

QStringList MessageKeys()
{
    QStringList keys;
    for (const auto& entry : kBuildKeys)
        keys.append(QLatin1String(entry.first));
    for (const auto& entry : kCatalogueKeys)
        keys.append(QLatin1String(entry.first));
    return keys;
}

}  // namespace pw
