#include "project/installer/InstallerEvidence.h"

#include "platform/FileNames.h"
#include "platform/version/LittleEndian.h"
#include "platform/version/VersionBlock.h"

#include <algorithm>
#include <string_view>

namespace pw {
namespace {

// Enough for the signatures of files that are not images (the compound file header is 8 bytes).
constexpr size_t kPlainHead = 512;
constexpr uint32_t kVersionType = 16;
constexpr uint32_t kVersionName = 1;
constexpr size_t kMaxVersionResource = 0x10000;

std::vector<uint8_t> ReadUpTo(ByteSource& source, uint64_t offset, size_t count)
{
    if (offset >= source.Size())
        return {};
    count = size_t(std::min<uint64_t>(count, source.Size() - offset));
    auto bytes = ReadBytes(source, offset, count);
    return bytes ? std::move(*bytes) : std::vector<uint8_t>();
}

QByteArray Utf16(const QByteArray& ascii)
{
    QByteArray wide;
    for (const char c : ascii)
        wide.append(c).append('\0');
    return wide;
}

}  // namespace

bool Holds(std::span<const uint8_t> bytes, const QByteArray& marker)
{
    return Find(bytes, marker) != std::string_view::npos;
}

bool StartsWith(std::span<const uint8_t> bytes, const QByteArray& marker)
{
    return bytes.size() >= size_t(marker.size()) && std::equal(marker.begin(), marker.end(), bytes.begin(),
                                                               [](char a, uint8_t b) { return uint8_t(a) == b; });
}

size_t Find(std::span<const uint8_t> bytes, const QByteArray& marker, size_t from)
{
    if (from > bytes.size())
        return std::string_view::npos;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return text.find(std::string_view(marker.constData(), size_t(marker.size())), from);
}

InstallerEvidence::InstallerEvidence(ByteSource& source, const QString& fileName)
    : source_(source), extension_(pw::LowerExtension(fileName)), image_(source)
{
    // A file shorter than its own image is damaged: Windows would refuse to start it.
    isPe_ = image_.Load() && image_.ImageEnd() <= source_.Size();
    if (!isPe_) {
        head_ = ReadUpTo(source_, 0, kPlainHead);
        return;
    }
    head_ = ReadUpTo(source_, 0, size_t(std::min<uint64_t>(image_.ImageEnd(), kHeadWindow)));
    overlay_ = ReadUpTo(source_, image_.ImageEnd(), kOverlayWindow);
}

bool InstallerEvidence::HeadHolds(const QByteArray& marker) const
{
    return Holds(head_, marker) || Holds(head_, Utf16(marker));
}

std::optional<std::vector<uint8_t>> InstallerEvidence::Resource(const ResourceId& type, const ResourceId& name,
                                                                size_t limit)
{
    if (!isPe_)
        return std::nullopt;
    return ReadResource(image_, type, name, PreferredResourceLanguages(), limit);
}

QString InstallerEvidence::VersionString(const QString& name)
{
    if (!versionRead_) {
        version_ = Resource(kVersionType, kVersionName, kMaxVersionResource);
        versionRead_ = true;
    }
    if (!version_)
        return {};
    const auto translation = FindVersionNode(*version_, {QStringLiteral("VarFileInfo"), QStringLiteral("Translation")});
    if (!translation || translation->valueSize < 4)
        return {};
    // The key of a string table is the language then the code page, in hexadecimal digits.
    const QString key = QStringLiteral("%1%2")
                            .arg(LoadLe16(*version_, translation->valueOffset), 4, 16, QLatin1Char('0'))
                            .arg(LoadLe16(*version_, translation->valueOffset + 2), 4, 16, QLatin1Char('0'));
    const auto value = FindVersionNode(*version_, {QStringLiteral("StringFileInfo"), key, name});
    return value ? VersionText(*version_, *value) : QString();
}

}  // namespace pw
