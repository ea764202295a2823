#include "platform/version/PeResources.h"

#include "platform/version/LittleEndian.h"

#include <unicode/uloc.h>

#include <algorithm>

namespace pw {
namespace {

constexpr uint32_t kVersionType = 16;
constexpr uint32_t kVersionName = 1;
constexpr uint32_t kHighBit = 0x80000000u;
constexpr uint32_t kMaxVersionResource = 0x10000;
// Named entries are compared one by one; a directory claiming more than this many is not searched
// further, so that a damaged one costs a bounded number of reads.
constexpr uint32_t kMaxNamedEntries = 1024;

struct DirectoryEntry {
    uint32_t name;    // high bit: a string name rather than a number
    uint32_t offset;  // high bit: a subdirectory rather than data
};

// A resource directory: a 16-byte header, then 8-byte entries, those with string names first and
// then the numbered ones in ascending order. Entries are read one at a time as needed, and numbers are
// found by binary search as the loader finds them, so a directory claiming thousands of entries costs
// a few small reads.
class Directory {
public:
    // The directory at `offset` from the start of the resource tree.
    static std::optional<Directory> Open(PeImage& image, uint32_t offset)
    {
        const uint64_t at = uint64_t(image.ResourceRva()) + offset;
        const auto header = image.ReadRva(at, 16);
        if (!header)
            return std::nullopt;
        return Directory(image, at + 16, LoadLe16(*header, 12), LoadLe16(*header, 14));
    }

    std::optional<DirectoryEntry> First() { return namedCount_ + numberedCount_ > 0 ? Entry(0) : std::nullopt; }

    std::optional<DirectoryEntry> Find(const ResourceId& id)
    {
        return id.IsNumber() ? FindNumbered(id.Number()) : FindNamed(id.Name());
    }

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

    // Names are sorted too, but in an order the loader defines by its own case folding; a plain walk
    // finds a name whatever order the tool that wrote the file chose.
    std::optional<DirectoryEntry> FindNamed(const QString& name)
    {
        const uint32_t count = std::min(namedCount_, kMaxNamedEntries);
        for (uint32_t index = 0; index < count; ++index) {
            const auto entry = Entry(index);
            if (!entry)
                return std::nullopt;
            if (!(entry->name & kHighBit))
                continue;
            if (NameAt(entry->name & ~kHighBit, name.size()).compare(name, Qt::CaseInsensitive) == 0)
                return entry;
        }
        return std::nullopt;
    }

private:
    Directory(PeImage& image, uint64_t entriesRva, uint32_t namedCount, uint32_t numberedCount)
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

    // The name at `offset` in the resource tree (a 16-bit length, then UTF-16 characters) when it has
    // `length` characters; otherwise the empty text, which matches no name looked for.
    QString NameAt(uint32_t offset, qsizetype length)
    {
        const uint64_t at = uint64_t(image_.ResourceRva()) + offset;
        const auto header = image_.ReadRva(at, 2);
        if (!header || LoadLe16(*header, 0) != length)
            return {};
        const auto characters = image_.ReadRva(at + 2, size_t(length) * 2);
        if (!characters)
            return {};
        QString text;
        for (size_t i = 0; i < characters->size(); i += 2)
            text.append(QChar(LoadLe16(*characters, i)));
        return text;
    }

    PeImage& image_;
    uint64_t entriesRva_;
    uint32_t namedCount_;
    uint32_t numberedCount_;
};

// Follows the entry `id` of a directory to its subdirectory.
std::optional<uint32_t> Subdirectory(PeImage& image, uint32_t offset, const ResourceId& id)
{
    auto directory = Directory::Open(image, offset);
    const auto entry = directory ? directory->Find(id) : std::nullopt;
    if (!entry || !(entry->offset & kHighBit))
        return std::nullopt;
    return entry->offset & ~kHighBit;
}

std::optional<DirectoryEntry> ChooseLanguage(PeImage& image, uint32_t offset, std::span<const uint16_t> languages)
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

std::optional<std::vector<uint8_t>> ReadResource(PeImage& image, const ResourceId& type, const ResourceId& name,
                                                 std::span<const uint16_t> languages, size_t limit)
{
    if (image.ResourceRva() == 0)
        return std::nullopt;
    // Three fixed levels (type, name, language), each looked up once, so a directory that points back
    // at itself cannot make this loop.
    const auto names = Subdirectory(image, 0, type);
    const auto languageOffset = names ? Subdirectory(image, *names, name) : std::nullopt;
    const auto leaf = languageOffset ? ChooseLanguage(image, *languageOffset, languages) : std::nullopt;
    if (!leaf || (leaf->offset & kHighBit))
        return std::nullopt;
    const auto dataEntry = image.ReadRva(uint64_t(image.ResourceRva()) + leaf->offset, 16);
    if (!dataEntry)
        return std::nullopt;
    // The data entry holds an address in the image, not an offset in the resource tree.
    const size_t size = std::min<size_t>(LoadLe32(*dataEntry, 4), limit);
    if (size == 0)
        return std::nullopt;
    return image.ReadRva(LoadLe32(*dataEntry, 0), size);
}

std::optional<std::vector<uint8_t>> ReadVersionResource(ByteSource& source, std::span<const uint16_t> languages)
{
    PeImage image(source);
    if (!image.Load())
        return std::nullopt;
    return ReadResource(image, kVersionType, kVersionName, languages, kMaxVersionResource);
}

}  // namespace pw
