#pragma once
// The layout of a PE32 or PE32+ image as the loader sees it: the file header, the Windows version the
// image asks for, the data directories and the section table. Only the headers are read; the sections
// are read on demand through ReadRva, so the size of the file does not matter.
#include "platform/version/ByteSource.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

namespace pw {

// Where one of the optional header's data directories lies; a zero address when the image has none.
struct PeDirectory {
    uint32_t rva = 0;
    uint32_t size = 0;
};

// The data directories the readers look at, by their index in the optional header.
enum class PeDirectoryIndex { Import = 1, Resource = 2, ClrRuntime = 14 };

// The machine types of the file header that concern an add-on: a 32-bit and an x86-64 Windows program.
inline constexpr uint16_t kMachineI386 = 0x014C;
inline constexpr uint16_t kMachineAmd64 = 0x8664;

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
    uint32_t ResourceRva() const { return Directory(PeDirectoryIndex::Resource).rva; }
    // The directory's place; none (a zero address) when the optional header does not list it.
    PeDirectory Directory(PeDirectoryIndex index) const;
    // The lowest Windows version whose loader starts the image (the subsystem version); 0.0 when the
    // optional header is too short to hold it.
    uint16_t SubsystemMajor() const { return subsystemMajor_; }
    uint16_t SubsystemMinor() const { return subsystemMinor_; }
    // Where the part of the file that the loader maps ends: the end of the furthest section's raw data,
    // or of the headers. Installers keep their payload after it (the overlay).
    uint64_t ImageEnd() const { return imageEnd_; }
    // Where the COFF symbol table a linker that keeps symbols appends after the sections lies; 0 without
    // one. It follows the image too, but is no installer's payload.
    uint32_t SymbolTableOffset() const { return symbolTable_; }

    // `count` bytes at `rva` as the loader lays them out: the part of a section beyond its raw data reads
    // as zeros. Nullopt when the range is not inside one section or cannot be read.
    std::optional<std::vector<uint8_t>> ReadRva(uint64_t rva, size_t count);
    // The NUL-terminated text at `rva`, at most `limit` bytes of it, cut where its section ends; nullopt
    // when `rva` is outside every section or cannot be read.
    std::optional<QByteArray> ReadRvaText(uint64_t rva, size_t limit);

private:
    // The section that holds `rva`, and how far into it `rva` is; nullptr when none does.
    const PeSection* SectionAt(uint64_t rva, uint64_t* start) const;

    ByteSource& source_;
    std::vector<PeSection> sections_;
    std::vector<PeDirectory> directories_;
    uint16_t subsystemMajor_ = 0;
    uint16_t subsystemMinor_ = 0;
    uint16_t machine_ = 0;
    bool pe32Plus_ = false;
    uint64_t imageEnd_ = 0;
    uint32_t symbolTable_ = 0;
};

// `count` bytes of `source` from `offset`; nullopt when they are not all there.
std::optional<std::vector<uint8_t>> ReadBytes(ByteSource& source, uint64_t offset, size_t count);

}  // namespace pw
