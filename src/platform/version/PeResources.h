#pragma once
// Finds the version resource of a PE32 or PE32+ image through its resource directory. Only the
// headers, the section table, the directory entries on the way and the resource itself are read, so
// the size of the file does not matter.
#include "platform/version/ByteSource.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pw {

// Resource languages tried in order when the version resource exists in several languages: neutral,
// the user's language, US English. When none is present the first language listed in the file answers.
std::vector<uint16_t> PreferredResourceLanguages();

// The bytes of the resource of type 16 (version) and name 1; nullopt when the source is not a PE32 or
// PE32+ image, has no such resource, or is cut short before its end. A version resource describes
// itself with a 16-bit length, so anything past 64 KiB is not read.
std::optional<std::vector<uint8_t>> ReadVersionResource(ByteSource& source, std::span<const uint16_t> languages);

}  // namespace pw
