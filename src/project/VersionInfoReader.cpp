#include "project/VersionInfoReader.h"

#include "platform/CodePage.h"
#include "platform/HostFolders.h"
#include "platform/version/VersionApi.h"

#include <QFile>

#include <cstring>

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

void VersionInfoReader::ReadVersionData()
{
    hasVersionData_ = false;
    translationTable_.clear();
    const QByteArray path = QFile::encodeName(fileName_);
    uint32_t handle = 0;
    const uint32_t size = GetFileVersionInfoSizeA(path.constData(), &handle);
    if (size == 0)
        return;
    versionData_ = QByteArray(qsizetype(size), '\0');
    if (!GetFileVersionInfoA(path.constData(), handle, size, versionData_.data()))
        return;
    hasVersionData_ = true;

    const char* table = nullptr;
    uint32_t length = 0;
    if (!QueryValue("\\VarFileInfo\\Translation", &table, &length))
        return;
    translationTable_.resize(length / 4);
    std::memcpy(translationTable_.data(), table, translationTable_.size() * 4);
}

bool VersionInfoReader::QueryValue(const QByteArray& path, const char** value, uint32_t* length) const
{
    const void* found = nullptr;
    if (!VerQueryValueA(versionData_.data(), uint32_t(versionData_.size()), path.constData(), &found, length))
        return false;
    *value = static_cast<const char*>(found);
    return true;
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

QString VersionInfoReader::StringValue(int index) const
{
    if (!hasVersionData_ || index < 0 || index >= StringNameCount)
        return {};
    // Without a translation in use the key is empty and the path, holding "\\", finds nothing.
    const QByteArray path = "\\StringFileInfo\\" + TranslationKey().toLatin1() + '\\' + StringNames[index];
    const char* value = nullptr;
    uint32_t length = 0;
    if (!QueryValue(path, &value, &length))
        return {};
    return AnsiToUnicode(QByteArray(value, qsizetype(qstrnlen(value, length))));
}

QString VersionInfoReader::LanguageName() const
{
    if (!hasVersionData_)
        return {};
    const uint32_t language = translationTable_.empty() ? 0 : translationTable_.front() & 0xFFFF;
    char name[256];
    const uint32_t length = VerLanguageNameA(language, name, sizeof name);
    return length == 0 ? QString() : AnsiToUnicode(QByteArray(name, qsizetype(qstrnlen(name, length))));
}

}  // namespace pw
