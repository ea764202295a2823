#include "project/VersionInfoReader.h"

#include "platform/HostFolders.h"

namespace pw {

const char* const VersionInfoReader::StringNames[StringNameCount] = {
    "Comments",        "CompanyName",      "FileDescription", "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTrademarks", "OriginalFileName", "PrivateBuild",    "ProductName", "ProductVersion", "SpecialBuild"};

VersionInfoReader::VersionInfoReader()
{
    SetFileName(QString());
}

void VersionInfoReader::SetFileName(const QString& fileName)
{
    fileName_ = fileName.isEmpty() ? ProgramFilePath() : fileName;
    ClearVersionData();
    ReadVersionData();
}

void VersionInfoReader::ClearVersionData()
{
    hasVersionData_ = false;
}

// The reader of version resources is not part of this build yet: no file has version data.
void VersionInfoReader::ReadVersionData()
{
    hasVersionData_ = false;
    translationTable_.clear();
}

QString VersionInfoReader::TranslationKey() const
{
    if (translationTable_.empty())
        return {};
    const uint32_t entry = translationTable_.front();
    return QStringLiteral("%1%2")
        .arg(entry & 0xFFFF, 4, 16, QLatin1Char('0'))
        .arg(entry >> 16, 4, 16, QLatin1Char('0'))
        .toUpper();
}

QString VersionInfoReader::StringValue(int) const
{
    return {};
}

QString VersionInfoReader::LanguageName() const
{
    return {};
}

}  // namespace pw
