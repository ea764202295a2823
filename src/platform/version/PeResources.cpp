#include "platform/version/PeResources.h"

#include "platform/version/LittleEndian.h"

#include <unicode/uloc.h>

#include <algorithm>

namespace pw {
namespace {

constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kVersionType = 16;
constexpr uint32_t kVersionName = 1;
constexpr uint32_t kHighBit = 0x80000000u;
constexpr uint32_t kMaxVersionResource = 0x10000;

struct Section {
    uint32_t virtualAddress;
    uint32_t virtualSize;
    uint32_t rawOffset;
    uint32_t rawSize;
};

struct DirectoryEntry {
    uint32_t name;    // high bit: a string name rather than a number
    uint32_t offset;  // high bit: a subdirectory rather than data
};

std::optional<std::vector<uint8_t>> ReadBytes(ByteSource& source, uint64_t offset, size_t count)
{
    std::vector<uint8_t> bytes(count);
    if (!source.ReadAt(offset, bytes))
        return std::nullopt;
    return bytes;
}

// A mapped view of the image as the loader would lay it out: addresses are relative to the image
// base, and the part of a section beyond its raw data reads as zeros.
class Image {
public:
    explicit Image(ByteSource& source) : source_(source) {}

    // Reads the headers and the section table; false when the source is not a PE32 or PE32+ image.
    bool Load();
    uint32_t ResourceRva() const { return resourceRva_; }
    std::optional<std::vector<uint8_t>> ReadRva(uint64_t rva, size_t count);

private:
    ByteSource& source_;
    std::vector<Section> sections_;
    uint32_t resourceRva_ = 0;
};

bool Image::Load()
{
    const auto dosHeader = ReadBytes(source_, 0, 64);
    if (!dosHeader || (*dosHeader)[0] != 'M' || (*dosHeader)[1] != 'Z')
        return false;
    const uint64_t peOffset = LoadLe32(*dosHeader, 0x3C);
    const auto fileHeader = ReadBytes(source_, peOffset, 24);
    if (!fileHeader || !std::equal(fileHeader->begin(), fileHeader->begin() + 4, "PE\0\0"))
        return false;
    const uint16_t sectionCount = LoadLe16(*fileHeader, 6);
    const uint16_t optionalHeaderSize = LoadLe16(*fileHeader, 20);
    const uint64_t optionalHeaderOffset = peOffset + 24;

    const auto magic = ReadBytes(source_, optionalHeaderOffset, 2);
    if (!magic)
        return false;
    size_t directoryCountOffset = 0;
    switch (LoadLe16(*magic, 0)) {
    case kPe32Magic: directoryCountOffset = 92; break;
    case kPe32PlusMagic: directoryCountOffset = 108; break;
    default: return false;
    }
    const size_t resourceEntryOffset = directoryCountOffset + 4 + kResourceDirectoryIndex * 8;
    if (optionalHeaderSize < resourceEntryOffset + 8)
        return false;
    const auto optionalHeader = ReadBytes(source_, optionalHeaderOffset, resourceEntryOffset + 8);
    if (!optionalHeader || LoadLe32(*optionalHeader, directoryCountOffset) <= kResourceDirectoryIndex)
        return false;
    resourceRva_ = LoadLe32(*optionalHeader, resourceEntryOffset);

    const auto table = ReadBytes(source_, optionalHeaderOffset + optionalHeaderSize, size_t(sectionCount) * 40);
    if (!table)
        return false;
    for (size_t at = 0; at < table->size(); at += 40)
        sections_.push_back({LoadLe32(*table, at + 12), LoadLe32(*table, at + 8), LoadLe32(*table, at + 20),
                             LoadLe32(*table, at + 16)});
    return true;
}

std::optional<std::vector<uint8_t>> Image::ReadRva(uint64_t rva, size_t count)
{
    for (const Section& s : sections_) {
        const uint64_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva < s.virtualAddress || rva - s.virtualAddress >= extent)
            continue;
        const uint64_t start = rva - s.virtualAddress;
        if (count > extent - start)
            return std::nullopt;
        std::vector<uint8_t> bytes(count, 0);
        if (start < s.rawSize) {
            const size_t rawCount = size_t(std::min<uint64_t>(count, s.rawSize - start));
            if (!source_.ReadAt(uint64_t(s.rawOffset) + start, std::span(bytes).first(rawCount)))
                return std::nullopt;
        }
        return bytes;
    }
    return std::nullopt;
}

// A resource directory: a 16-byte header, then 8-byte entries, those with string names first and
// then the numbered ones in ascending order. Entries are read one at a time as needed, and numbers are
// found by binary search as the loader finds them, so a directory claiming thousands of entries costs
// a few small reads.
class Directory {
public:
    // The directory at `offset` from the start of the resource tree.
    static std::optional<Directory> Open(Image& image, uint32_t offset)
    {
        const uint64_t at = uint64_t(image.ResourceRva()) + offset;
        const auto header = image.ReadRva(at, 16);
        if (!header)
            return std::nullopt;
        return Directory(image, at + 16, LoadLe16(*header, 12), LoadLe16(*header, 14));
    }

    std::optional<DirectoryEntry> First() { return namedCount_ + numberedCount_ > 0 ? Entry(0) : std::nullopt; }

    std::optional<DirectoryEntry> FindNumbered(uint32_t number)
    {
        uint32_t low = namedCount_;
        uint32_t high = namedCount_ + numberedCount_;
        while (low < high) {
            const uint32_t middle = low + (high - low) / 2;
            const auto entry = Entry(middle);
            if (!entry || entry->name == number)
                return entry;
            if (entry->name < number)
                low = middle + 1;
            else
                high = middle;
        }
        return std::nullopt;
    }

private:
    Directory(Image& image, uint64_t entriesRva, uint32_t namedCount, uint32_t numberedCount)
        : image_(image), entriesRva_(entriesRva), namedCount_(namedCount), numberedCount_(numberedCount)
    {
    }

    std::optional<DirectoryEntry> Entry(uint32_t index)
    {
        const auto bytes = image_.ReadRva(entriesRva_ + uint64_t(index) * 8, 8);
        if (!bytes)
            return std::nullopt;
        return DirectoryEntry{LoadLe32(*bytes, 0), LoadLe32(*bytes, 4)};
    }

    Image& image_;
    uint64_t entriesRva_;
    uint32_t namedCount_;
    uint32_t numberedCount_;
};

// Follows the numbered entry of a directory to its subdirectory.
std::optional<uint32_t> Subdirectory(Image& image, uint32_t offset, uint32_t number)
{
    auto directory = Directory::Open(image, offset);
    const auto entry = directory ? directory->FindNumbered(number) : std::nullopt;
    if (!entry || !(entry->offset & kHighBit))
        return std::nullopt;
    return entry->offset & ~kHighBit;
}

std::optional<DirectoryEntry> ChooseLanguage(Image& image, uint32_t offset, std::span<const uint16_t> languages)
{
    auto directory = Directory::Open(image, offset);
    if (!directory)
        return std::nullopt;
    for (const uint16_t language : languages)
        if (const auto entry = directory->FindNumbered(language))
            return entry;
    return directory->First();
}

}  // namespace

std::vector<uint16_t> PreferredResourceLanguages()
{
    const uint16_t userLanguage = uint16_t(uloc_getLCID(uloc_getDefault()));
    return {0x0000, userLanguage, 0x0409};
}

std::optional<std::vector<uint8_t>> ReadVersionResource(ByteSource& source, std::span<const uint16_t> languages)
{
    Image image(source);
    if (!image.Load() || image.ResourceRva() == 0)
        return std::nullopt;
    // Three fixed levels (type, name, language), each looked up once, so a directory that points back
    // at itself cannot make this loop.
    const auto names = Subdirectory(image, 0, kVersionType);
    const auto languageOffset = names ? Subdirectory(image, *names, kVersionName) : std::nullopt;
    const auto leaf = languageOffset ? ChooseLanguage(image, *languageOffset, languages) : std::nullopt;
    if (!leaf || (leaf->offset & kHighBit))
        return std::nullopt;
    const auto dataEntry = image.ReadRva(uint64_t(image.ResourceRva()) + leaf->offset, 16);
    if (!dataEntry)
        return std::nullopt;
    // The data entry holds an address in the image, not an offset in the resource tree.
    const uint32_t size = std::min(LoadLe32(*dataEntry, 4), kMaxVersionResource);
    if (size == 0)
        return std::nullopt;
    return image.ReadRva(LoadLe32(*dataEntry, 0), size);
}

}  // namespace pw
