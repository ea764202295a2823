#include "archive/sevenzip/CompressionProperties.h"

#include "platform/SourceDateEpoch.h"

namespace pw {
namespace {

// Two threads: as fast as the default on a machine of two processors, the least where many have more.
constexpr std::uint32_t kReproducibleThreads = 2;

}  // namespace

std::uint32_t SevenZipLevel(TCompressStrength strength)
{
    switch (strength) {
    case SAVE:
        return 0;
    case FAST:
        return 3;
    case NORMAL:
        return 5;
    case MAXIMUM:
        return 7;
    case ULTRA:
        return 9;
    }
    return 5;
}

std::vector<CompressionProperty> CompressionProperties(const CompressionSettings& settings)
{
    std::vector<CompressionProperty> properties;
    if (settings.type == LZMA) {
        properties.push_back({QStringLiteral("X"), SevenZipLevel(settings.strength)});
        properties.push_back({QStringLiteral("s"), settings.options.contains(AddSolid) ? QStringLiteral("on")
                                                                                        : QStringLiteral("off")});
        if (settings.dictionary != 0)
            properties.push_back({QStringLiteral("d"), std::uint32_t(settings.dictionary)});
        // The library cuts LZMA2 data into blocks by its thread count, one per processor unless told: a
        // reproducible archive must not depend on the machine that packed it.
        if (SourceDateEpoch() && settings.strength != SAVE)
            properties.push_back({QStringLiteral("mt"), kReproducibleThreads});
    } else {
        properties.push_back({QStringLiteral("0"), QStringLiteral("PPMd")});
        // The order and memory settings are switched on by the properties, with fixed values.
        if (settings.ppmdSize != 0)
            properties.push_back({QStringLiteral("o"), std::uint32_t(10)});
        if (settings.ppmdMem != 0)
            properties.push_back({QStringLiteral("mem"), std::uint32_t(30)});
    }
    if (settings.hasPassword && settings.options.contains(AddEncryptFilename))
        properties.push_back({QStringLiteral("he"), QStringLiteral("on")});
    return properties;
}

}  // namespace pw
