#pragma once
// The tree of a version resource (VS_VERSIONINFO): nodes of
//   WORD wLength, WORD wValueLength, WORD wType, WCHAR key[] with its NUL, padding to 4, value,
//   padding to 4, children up to wLength,
// each node starting on a 4-byte boundary of the block. Lengths in the data are not trusted: every
// node is clamped to its parent and to the bytes at hand.
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace pw {

struct VersionNode {
    size_t offset = 0;
    size_t end = 0;          // end of the node, never past its parent
    QString key;
    bool text = false;       // wType 1: the value is UTF-16 text, wValueLength counts characters
    size_t valueOffset = 0;
    size_t valueSize = 0;    // in bytes, never past the end of the node
    size_t childrenOffset = 0;
};

// The node at `offset`, read within [offset, limit); nullopt when its header or key does not fit.
std::optional<VersionNode> ReadVersionNode(std::span<const uint8_t> block, size_t offset, size_t limit);

// Walks from the root through the children whose keys equal `path`, compared without regard to case
// (no prefix matches). An empty path names the root.
std::optional<VersionNode> FindVersionNode(std::span<const uint8_t> block, const QStringList& path);

// The UTF-16 text of a node's value, up to its NUL or the end of the node; empty for an empty value.
QString VersionText(std::span<const uint8_t> block, const VersionNode& node);

}  // namespace pw
