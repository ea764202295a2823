#include "platform/version/PeImage.h"

#include "platform/version/LittleEndian.h"

#include <algorithm>

namespace pw {
namespace {

constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kSubsystemVersionOffset = 48;  // the same in PE32 and PE32+
constexpr size_t kMaxDirectories = 16;
constexpr size_t kDirectorySize = 8;

}  // namespace

std::optional<std::vector<uint8_t>> ReadBytes(ByteSource& source, uint64_t offset, size_t count)
{
    std::vector<uint8_t> bytes(count);
    if (!source.ReadAt(offset, bytes))
        return std::nullopt;
    return bytes;
}

bool PeImage::Load()
{
    const auto dosHeader = ReadBytes(source_, 0, 64);
    if (!dosHeader || (*dosHeader)[0] != 'M' || (*dosHeader)[1] != 'Z')
        return false;
    const uint64_t peOffset = LoadLe32(*dosHeader, 0x3C);
    const auto fileHeader = ReadBytes(source_, peOffset, 24);
    if (!fileHeader || !std::equal(fileHeader->begin(), fileHeader->begin() + 4, "PE\0\0"))
        return false;
    machine_ = LoadLe16(*fileHeader, 4);
    symbolTable_ = LoadLe32(*fileHeader, 12);
    const uint16_t sectionCount = LoadLe16(*fileHeader, 6);
    const uint16_t optionalHeaderSize = LoadLe16(*fileHeader, 20);
    const uint64_t optionalHeaderOffset = peOffset + 24;

    const auto magic = ReadBytes(source_, optionalHeaderOffset, 2);
    if (!magic)
        return false;
    size_t directoryCountOffset = 0;
    switch (LoadLe16(*magic, 0)) {
    case kPe32Magic: directoryCountOffset = 92; break;
    case kPe32PlusMagic: directoryCountOffset = 108; pe32Plus_ = true; break;
    default: return false;
    }
    const size_t optionalHeaderEnd = directoryCountOffset + 4 + kMaxDirectories * kDirectorySize;
    const auto optionalHeader =
        ReadBytes(source_, optionalHeaderOffset, std::min<size_t>(optionalHeaderSize, optionalHeaderEnd));
    if (!optionalHeader)
        return false;
    if (optionalHeader->size() >= kSubsystemVersionOffset + 4) {
        subsystemMajor_ = LoadLe16(*optionalHeader, kSubsystemVersionOffset);
        subsystemMinor_ = LoadLe16(*optionalHeader, kSubsystemVersionOffset + 2);
    }
    // An image may list fewer directories than there are kinds, or claim more than its header holds: only
    // those both listed and inside the header count.
    if (optionalHeader->size() >= directoryCountOffset + 4) {
        const size_t listed = std::min<size_t>(LoadLe32(*optionalHeader, directoryCountOffset), kMaxDirectories);
        const size_t end = optionalHeader->size();
        for (size_t at = directoryCountOffset + 4; directories_.size() < listed && at + kDirectorySize <= end;
             at += kDirectorySize)
            directories_.push_back({LoadLe32(*optionalHeader, at), LoadLe32(*optionalHeader, at + 4)});
    }

    const uint64_t tableOffset = optionalHeaderOffset + optionalHeaderSize;
    const auto table = ReadBytes(source_, tableOffset, size_t(sectionCount) * kSectionHeaderSize);
    if (!table)
        return false;
    imageEnd_ = tableOffset + table->size();
    for (size_t at = 0; at < table->size(); at += kSectionHeaderSize) {
        PeSection section;
        const auto name = std::span(*table).subspan(at, 8);
        section.name = QByteArray(reinterpret_cast<const char*>(name.data()),
                                  std::find(name.begin(), name.end(), 0) - name.begin());
        section.virtualSize = LoadLe32(*table, at + 8);
        section.virtualAddress = LoadLe32(*table, at + 12);
        section.rawSize = LoadLe32(*table, at + 16);
        section.rawOffset = LoadLe32(*table, at + 20);
        if (section.rawSize > 0)
            imageEnd_ = std::max(imageEnd_, uint64_t(section.rawOffset) + section.rawSize);
        sections_.push_back(section);
    }
    return true;
}

const PeSection* PeImage::FindSection(const QByteArray& name) const
{
    const auto found = std::find_if(sections_.begin(), sections_.end(),
                                    [&](const PeSection& s) { return s.name == name; });
    return found == sections_.end() ? nullptr : &*found;
}

PeDirectory PeImage::Directory(PeDirectoryIndex index) const
{
    const size_t at = size_t(index);
    return at < directories_.size() ? directories_[at] : PeDirectory();
}

const PeSection* PeImage::SectionAt(uint64_t rva, uint64_t* start) const
{
    for (const PeSection& s : sections_) {
        const uint64_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva >= s.virtualAddress && rva - s.virtualAddress < extent) {
            *start = rva - s.virtualAddress;
            return &s;
        }
    }
    return nullptr;
}

std::optional<std::vector<uint8_t>> PeImage::ReadRva(uint64_t rva, size_t count)
{
    uint64_t start = 0;
    const PeSection* s = SectionAt(rva, &start);
    if (!s || count > std::max(s->virtualSize, s->rawSize) - start)
        return std::nullopt;
    std::vector<uint8_t> bytes(count, 0);
    if (start < s->rawSize) {
        const size_t rawCount = size_t(std::min<uint64_t>(count, s->rawSize - start));
        if (!source_.ReadAt(uint64_t(s->rawOffset) + start, std::span(bytes).first(rawCount)))
            return std::nullopt;
    }
    return bytes;
}

std::optional<QByteArray> PeImage::ReadRvaText(uint64_t rva, size_t limit)
{
    uint64_t start = 0;
    const PeSection* s = SectionAt(rva, &start);
    if (!s)
        return std::nullopt;
    const auto bytes = ReadRva(rva, size_t(std::min<uint64_t>(limit, std::max(s->virtualSize, s->rawSize) - start)));
    if (!bytes)
        return std::nullopt;
    const auto end = std::find(bytes->begin(), bytes->end(), 0);
    return QByteArray(reinterpret_cast<const char*>(bytes->data()), end - bytes->begin());
}

}  // namespace pw
