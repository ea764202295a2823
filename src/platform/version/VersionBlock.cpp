#include "platform/version/VersionBlock.h"

#include "platform/version/LittleEndian.h"

#include <algorithm>

namespace pw {
namespace {

constexpr size_t kHeaderSize = 6;

constexpr size_t AlignTo4(size_t offset)
{
    return (offset + 3) & ~size_t(3);
}

struct Utf16Text {
    QString text;
    bool terminated = false;
};

// Characters of the UTF-16 text at `offset`, up to its NUL or to `limit`, whichever comes first.
Utf16Text ReadUtf16(std::span<const uint8_t> block, size_t offset, size_t limit)
{
    Utf16Text result;
    for (size_t at = offset; at + 2 <= limit; at += 2) {
        const char16_t c = LoadLe16(block, at);
        if (c == 0) {
            result.terminated = true;
            break;
        }
        result.text.append(QChar(c));
    }
    return result;
}

std::optional<VersionNode> FindChild(std::span<const uint8_t> block, const VersionNode& parent, const QString& key)
{
    size_t at = parent.childrenOffset;
    while (at + kHeaderSize <= parent.end) {
        const auto child = ReadVersionNode(block, at, parent.end);
        if (!child)
            return std::nullopt;
        if (child->key.compare(key, Qt::CaseInsensitive) == 0)
            return child;
        at = AlignTo4(at + LoadLe16(block, at));
    }
    return std::nullopt;
}

}  // namespace

std::optional<VersionNode> ReadVersionNode(std::span<const uint8_t> block, size_t offset, size_t limit)
{
    limit = std::min(limit, block.size());
    if (offset > limit || limit - offset < kHeaderSize)
        return std::nullopt;
    const size_t length = LoadLe16(block, offset);
    // A node shorter than its own header would never let a walk over its siblings move on.
    if (length < kHeaderSize)
        return std::nullopt;
    VersionNode node;
    node.offset = offset;
    node.end = std::min(offset + length, limit);
    node.text = LoadLe16(block, offset + 4) == 1;
    const Utf16Text key = ReadUtf16(block, offset + kHeaderSize, node.end);
    if (!key.terminated)
        return std::nullopt;
    node.key = key.text;
    node.valueOffset = AlignTo4(offset + kHeaderSize + (size_t(key.text.size()) + 1) * 2);
    const size_t declaredSize = size_t(LoadLe16(block, offset + 2)) * (node.text ? 2 : 1);
    node.childrenOffset = AlignTo4(node.valueOffset + declaredSize);
    node.valueSize = node.valueOffset < node.end ? std::min(declaredSize, node.end - node.valueOffset) : 0;
    return node;
}

std::optional<VersionNode> FindVersionNode(std::span<const uint8_t> block, const QStringList& path)
{
    auto node = ReadVersionNode(block, 0, block.size());
    for (const QString& key : path) {
        if (!node)
            break;
        node = FindChild(block, *node, key);
    }
    return node;
}

QString VersionText(std::span<const uint8_t> block, const VersionNode& node)
{
    // Some resource tools count the value in bytes or mark text as binary; the text is the last thing
    // in its node, so it is read up to its NUL or to the end of the node.
    if (node.valueSize == 0)
        return {};
    return ReadUtf16(block, node.valueOffset, node.end).text;
}

}  // namespace pw
