// Feeds arbitrary bytes to the PE reader: the version resource, once as a whole executable and once as
// version data on its own, so that the walk over version nodes is explored without having to get past
// the PE headers first; and the import directory and the CLR header of the executable. Every answer is
// read to its full length, so that a pointer or length handed out wrongly shows up under AddressSanitizer.
#include "platform/version/PeDirectories.h"
#include "platform/version/PeResources.h"
#include "platform/version/VersionApi.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

volatile uint8_t gSink;

void Touch(const void* value, uint32_t length)
{
    const auto* bytes = static_cast<const uint8_t*>(value);
    for (uint32_t i = 0; i < length; ++i)
        gSink = gSink + bytes[i];
}

bool Query(std::vector<uint8_t>& block, const std::string& path, uint32_t* length, const void** value)
{
    const bool found = pw::VerQueryValueA(block.data(), uint32_t(block.size()), path.c_str(), value, length);
    if (found)
        Touch(*value, *length);
    return found;
}

// Asks what the program asks: the translation array, then the strings of its first entry.
void AskLikeTheReader(std::span<const uint8_t> resource)
{
    // Laid out as GetFileVersionInfoA lays it out: the resource, then room for the ANSI copies.
    std::vector<uint8_t> block(resource.begin(), resource.end());
    block.resize(resource.size() * 2 + 4, 0);
    const void* value = nullptr;
    uint32_t length = 0;
    Query(block, "\\", &length, &value);
    std::string key;
    if (Query(block, "\\VarFileInfo\\Translation", &length, &value) && length >= 4) {
        const auto* entry = static_cast<const uint8_t*>(value);
        char text[9];
        std::snprintf(text, sizeof text, "%02X%02X%02X%02X", entry[1], entry[0], entry[3], entry[2]);
        key = text;
    }
    for (const char* name : {"Comments", "PrivateBuild", "ProductName", "ProductVersion"})
        Query(block, "\\StringFileInfo\\" + key + "\\" + name, &length, &value);
    Query(block, "\\StringFileInfo\\" + key, &length, &value);
}

void ReadDirectories(pw::ByteSource& source)
{
    pw::PeImage image(source);
    if (!image.Load())
        return;
    for (const pw::PeImportedLibrary& library : pw::ReadImports(image)) {
        Touch(library.name.constData(), uint32_t(library.name.size()));
        for (const QByteArray& function : library.functions)
            Touch(function.constData(), uint32_t(function.size()));
    }
    if (const auto version = pw::ReadClrRuntimeVersion(image))
        Touch(version->constData(), uint32_t(version->size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> input(data, size);
    pw::MemoryByteSource source(input);
    static const std::vector<uint16_t> languages = {0x0000, 0x0416, 0x0409};
    if (const auto resource = pw::ReadVersionResource(source, languages))
        AskLikeTheReader(*resource);
    AskLikeTheReader(input);
    ReadDirectories(source);
    return 0;
}
