#pragma once
// The settings sent to the library before each archive is written.
#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace pw {

class TSevenZip;

struct CompressionProperty {
    QString name;
    std::variant<std::uint32_t, QString> value;  // sent as VT_UI4 or VT_BSTR

    friend bool operator==(const CompressionProperty&, const CompressionProperty&) = default;
};

// In the order they are sent: "X" and "s" (and "d", and "mt" for a reproducible build) for LZMA, "0" (and
// "o", "mem") for PPMd, then "he".
std::vector<CompressionProperty> CompressionProperties(const TSevenZip& writer);

}  // namespace pw
