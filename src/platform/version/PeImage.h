#pragma once
// The layout of a PE32 or PE32+ image as the loader sees it: the file header, the section table and the
// resource directory's address. Only the headers are read; the sections are read on demand through
// ReadRva, so the size of the file does not matter.
#include "platform/version/ByteSource.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

namespace pw {

struct PeSection {
    QByteArray name;  // up to 8 bytes, without the NUL padding
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;
};

class PeImage {
public:
    explicit PeImage(ByteSource& source) : source_(source) {}

    // Reads the headers and the section table; false when the source is not a PE32 or PE32+ image.
    bool Load();

    ByteSource& Source() { return source_; }
    bool IsPe32Plus() const { return pe32Plus_; }
    uint16_t Machine() const { return machine_; }
    const std::vector<PeSection>& Sections() const { return sections_; }
    const PeSection* FindSection(const QByteArray& name) const;
    // 0 when the image has no resource directory.
    uint32_t ResourceRva() const { return resourceRva_; }
    // Where the part of the file that the loader maps ends: the end of the furthest section's raw data,
    // or of the headers. Installers keep their payload after it (the overlay).
    uint64_t ImageEnd() const { return imageEnd_; }

    // `count` bytes at `rva` as the loader lays them out: the part of a section beyond its raw data reads
    // as zeros. Nullopt when the range is not inside one section or cannot be read.
    std::optional<std::vector<uint8_t>> ReadRva(uint64_t rva, size_t count);

private:
    ByteSource& source_;
    std::vector<PeSection> sections_;
    uint32_t resourceRva_ = 0;
    uint16_t machine_ = 0;
    bool pe32Plus_ = false;
    uint64_t imageEnd_ = 0;
};

// `count` bytes of `source` from `offset`; nullopt when they are not all there.
std::optional<std::vector<uint8_t>> ReadBytes(ByteSource& source, uint64_t offset, size_t count);

}  // namespace pw
