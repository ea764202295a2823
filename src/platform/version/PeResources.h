#pragma once
// Resources of a PE32 or PE32+ image, found through its resource directory: any resource by its type and
// name, and the version resource. Only the headers, the section table, the directory entries on the way
// and the resource itself are read, so the size of the file does not matter.
#include "platform/version/ByteSource.h"
#include "platform/version/PeImage.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pw {

// A resource type or name: a number, or a name compared without regard to case, as FindResource
// compares it.
class ResourceId {
public:
    ResourceId(uint32_t number) : number_(number) {}
    ResourceId(const QString& name) : name_(name) {}
    bool IsNumber() const { return name_.isEmpty(); }
    uint32_t Number() const { return number_; }
    const QString& Name() const { return name_; }

private:
    uint32_t number_ = 0;
    QString name_;
};

// Resource languages tried in order when the version resource exists in several languages: neutral,
// the user's language, US English. When none is present the first language listed in the file answers.
std::vector<uint16_t> PreferredResourceLanguages();

// The first `limit` bytes of the resource `type`/`name` of a loaded image (all of it when it is shorter),
// in the first of `languages` present, else in the first language listed; nullopt when there is no such
// resource, it is empty, or it is cut short.
std::optional<std::vector<uint8_t>> ReadResource(PeImage& image, const ResourceId& type, const ResourceId& name,
                                                 std::span<const uint16_t> languages, size_t limit);

// The bytes of the resource of type 16 (version) and name 1; nullopt when the source is not a PE32 or
// PE32+ image, has no such resource, or is cut short before its end. A version resource describes
// itself with a 16-bit length, so anything past 64 KiB is not read.
std::optional<std::vector<uint8_t>> ReadVersionResource(ByteSource& source, std::span<const uint16_t> languages);

}  // namespace pw
