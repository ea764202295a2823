#include "platform/version/VersionApi.h"

#include "platform/CodePage.h"
#include "platform/version/ByteSource.h"
#include "platform/version/LittleEndian.h"
#include "platform/version/PeResources.h"
#include "platform/version/VersionBlock.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace pw {
namespace {

// Marks the data as read by the Unicode-aware functions, as Windows does after the resource.
constexpr char kConvertedMark[4] = {'F', 'E', '2', 'X'};

std::optional<std::vector<uint8_t>> ReadFileVersionResource(const char* fileName)
{
    if (!fileName || !*fileName)
        return std::nullopt;
    const QString path = QFile::decodeName(fileName);
    // Only regular files: opening a named pipe would wait for a writer that may never come.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    FileByteSource source(path);
    if (!source.IsOpen())
        return std::nullopt;
    return ReadVersionResource(source, PreferredResourceLanguages());
}

bool IsString(const VersionNode& node, const QStringList& path)
{
    // Strings written by some tools are marked binary; in a string table they are text all the same.
    return node.text || (path.size() == 3 && path.front().compare(u"StringFileInfo", Qt::CaseInsensitive) == 0);
}

}  // namespace

uint32_t GetFileVersionInfoSizeA(const char* fileName, uint32_t* handle)
{
    if (handle)
        *handle = 0;
    const auto resource = ReadFileVersionResource(fileName);
    return resource ? uint32_t(resource->size()) * 2 + 4 : 0;
}

bool GetFileVersionInfoA(const char* fileName, uint32_t, uint32_t size, void* data)
{
    if (!data || size == 0)
        return false;
    const auto resource = ReadFileVersionResource(fileName);
    if (!resource)
        return false;
    auto* bytes = static_cast<uint8_t*>(data);
    const size_t copied = std::min<size_t>(resource->size(), size);
    std::copy_n(resource->begin(), copied, bytes);
    std::fill(bytes + copied, bytes + size, 0);
    if (resource->size() >= 2) {
        const size_t markAt = LoadLe16(*resource, 0);
        if (size >= markAt + sizeof kConvertedMark)
            std::memcpy(bytes + markAt, kConvertedMark, sizeof kConvertedMark);
    }
    return true;
}

bool VerQueryValueA(void* block, uint32_t blockSize, const char* subBlock, const void** buffer, uint32_t* length)
{
    if (!length)
        return false;
    *length = 0;
    if (!block || !buffer || blockSize < 2)
        return false;
    const std::span<uint8_t> whole(static_cast<uint8_t*>(block), blockSize);
    const size_t resourceSize = LoadLe16(whole, 0);
    const std::span<const uint8_t> resource = whole.first(std::min<size_t>(resourceSize, blockSize));
    const QStringList path = AnsiToUnicode(QByteArray(subBlock ? subBlock : "")).split(u'\\', Qt::SkipEmptyParts);
    const auto node = FindVersionNode(resource, path);
    if (!node)
        return false;
    if (!IsString(*node, path)) {
        *buffer = whole.data() + node->valueOffset;
        *length = uint32_t(node->valueSize);
        return true;
    }
    if (node->valueSize == 0) {
        // Nodes without a value (a table, or a string declared empty) answer with an empty text.
        static const char kNoText[] = "";
        *buffer = kNoText;
        return true;
    }
    // The ANSI copy goes to the same place in the upper half as the value has in the lower half.
    const size_t copyAt = resourceSize + 4 + node->valueOffset;
    if (copyAt >= whole.size() || node->valueOffset >= resourceSize)
        return false;
    const size_t room = std::min(resourceSize - node->valueOffset, whole.size() - copyAt);
    const QByteArray ansi = UnicodeToAnsi(VersionText(resource, *node));
    const size_t count = std::min<size_t>(size_t(ansi.size()), room - 1);
    std::copy_n(ansi.constData(), count, whole.begin() + ptrdiff_t(copyAt));
    whole[copyAt + count] = 0;
    *buffer = whole.data() + copyAt;
    *length = uint32_t(count + 1);
    return true;
}

}  // namespace pw
