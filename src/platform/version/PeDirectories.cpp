#include "platform/version/PeDirectories.h"

#include "platform/version/LittleEndian.h"

#include <algorithm>

namespace pw {
namespace {

constexpr size_t kImportDescriptorSize = 20;
constexpr size_t kMaxNameLength = 512;
constexpr uint32_t kMetadataSignature = 0x424A5342;  // "BSJB"
constexpr size_t kMaxVersionLength = 255;  // the metadata root's own limit

// The functions one descriptor names. The lookup table is the unbound copy; an image linked without one
// keeps the names in the table the loader overwrites, which on disk still holds them.
std::vector<QByteArray> ImportedFunctions(PeImage& image, uint32_t lookupRva, size_t limit)
{
    const size_t thunkSize = image.IsPe32Plus() ? 8 : 4;
    const uint64_t ordinalFlag = image.IsPe32Plus() ? 1ull << 63 : 1ull << 31;
    std::vector<QByteArray> functions;
    for (uint64_t at = lookupRva; functions.size() < limit; at += thunkSize) {
        const auto thunk = image.ReadRva(at, thunkSize);
        if (!thunk)
            break;
        const uint64_t high = thunkSize == 8 ? LoadLe32(*thunk, 4) : 0;
        const uint64_t value = LoadLe32(*thunk, 0) | high << 32;
        if (value == 0)
            break;
        if (value & ordinalFlag) {
            functions.push_back('#' + QByteArray::number(uint16_t(value)));
            continue;
        }
        // A hint, then the name.
        const auto name = image.ReadRvaText(uint32_t(value) + uint64_t(2), kMaxNameLength);
        if (!name)
            break;
        functions.push_back(*name);
    }
    return functions;
}

}  // namespace

std::vector<PeImportedLibrary> ReadImports(PeImage& image)
{
    std::vector<PeImportedLibrary> libraries;
    size_t functionCount = 0;
    const PeDirectory directory = image.Directory(PeDirectoryIndex::Import);
    if (directory.rva == 0)
        return libraries;
    for (uint64_t at = directory.rva; libraries.size() < kMaxImportedLibraries; at += kImportDescriptorSize) {
        const auto descriptor = image.ReadRva(at, kImportDescriptorSize);
        if (!descriptor)
            break;
        const uint32_t lookup = LoadLe32(*descriptor, 0);
        const uint32_t nameRva = LoadLe32(*descriptor, 12);
        const uint32_t bound = LoadLe32(*descriptor, 16);
        if (nameRva == 0)
            break;  // the all-zero descriptor that closes the list
        const auto name = image.ReadRvaText(nameRva, kMaxNameLength);
        if (!name)
            break;
        const uint32_t table = lookup != 0 ? lookup : bound;
        libraries.push_back({*name, ImportedFunctions(image, table, kMaxImports - functionCount)});
        functionCount += libraries.back().functions.size();
    }
    return libraries;
}

std::optional<QByteArray> ReadClrRuntimeVersion(PeImage& image)
{
    const PeDirectory directory = image.Directory(PeDirectoryIndex::ClrRuntime);
    if (directory.rva == 0)
        return std::nullopt;
    // The CLR header: its size, the runtime's version, then where the metadata lies.
    const auto header = image.ReadRva(directory.rva, 16);
    if (!header)
        return QByteArray();
    // The metadata root: signature, versions, a reserved word, then the version text and its length.
    const uint32_t metadataRva = LoadLe32(*header, 8);
    const auto root = image.ReadRva(metadataRva, 16);
    if (!root || LoadLe32(*root, 0) != kMetadataSignature)
        return QByteArray();
    const size_t length = std::min<size_t>(LoadLe32(*root, 12), kMaxVersionLength);
    return image.ReadRvaText(metadataRva + uint64_t(16), length).value_or(QByteArray());
}

}  // namespace pw
