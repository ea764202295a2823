#pragma once
// Integers as executables store them, whatever the host's byte order. The caller checks the bounds.
#include <cstddef>
#include <cstdint>
#include <span>

namespace pw {

inline uint16_t LoadLe16(std::span<const uint8_t> bytes, size_t offset)
{
    return uint16_t(bytes[offset] | bytes[offset + 1] << 8);
}

inline uint32_t LoadLe32(std::span<const uint8_t> bytes, size_t offset)
{
    return uint32_t(LoadLe16(bytes, offset)) | uint32_t(LoadLe16(bytes, offset + 2)) << 16;
}

}  // namespace pw
