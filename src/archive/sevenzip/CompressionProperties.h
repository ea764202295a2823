#pragma once
// The settings sent to the library before each archive is written.
#include "archive/sevenzip/SevenZipTypes.h"

#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace pw {

// The writer's settings that decide what is sent.
struct CompressionSettings {
    TCompressType type = LZMA;
    TCompressStrength strength = SAVE;
    TLZMAStrength dictionary = 0;
    TPPMDMem ppmdMem = 0;
    TPPMDSize ppmdSize = 0;
    AddOpts options;
    bool hasPassword = false;
};

struct CompressionProperty {
    QString name;
    std::variant<std::uint32_t, QString> value;  // sent as VT_UI4 or VT_BSTR

    friend bool operator==(const CompressionProperty&, const CompressionProperty&) = default;
};

// The library's level ("X") for a strength: 0, 3, 5, 7, 9.
std::uint32_t SevenZipLevel(TCompressStrength strength);

// In the order they are sent: "X" and "s" (and "d", and "mt" for a reproducible build) for LZMA, "0" (and
// "o", "mem") for PPMd, then "he".
std::vector<CompressionProperty> CompressionProperties(const CompressionSettings& settings);

}  // namespace pw
