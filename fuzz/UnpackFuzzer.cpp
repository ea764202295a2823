// Feeds arbitrary bytes to the self-extractor's 7z reader as a whole archive: opening reads and checks
// every header, and extraction decodes every folder into a sink that throws the bytes away but reads
// every item's fields, so that a bad pointer or length shows up under AddressSanitizer.
#include "SzArchive.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
};

SzResult ReadAt(void* context, uint64_t offset, void* buffer, size_t size)
{
    const auto* input = static_cast<const Input*>(context);
    if (offset > input->size || size > input->size - offset)
        return UNPACK_ERROR_READ;
    std::memcpy(buffer, input->data + offset, size);
    return UNPACK_OK;
}

void* Allocate(void*, size_t size)
{
    return std::malloc(size);
}

void Release(void*, void* block)
{
    std::free(block);
}

volatile unsigned gSink;

SzResult Begin(void*, const SzItem* item, void** file)
{
    unsigned sum = item->pathLength + unsigned(item->size) + item->attributes;
    for (uint32_t i = 0; i <= item->pathLength; ++i)
        sum += item->path[i];
    gSink = gSink + sum;
    *file = item->isDirectory ? nullptr : reinterpret_cast<void*>(1);
    return UNPACK_OK;
}

SzResult Write(void*, void*, const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    gSink = gSink + bytes[0] + bytes[size - 1];
    return UNPACK_OK;
}

SzResult End(void*, void*, const SzItem*, SzResult result)
{
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input input{data, size};
    const SzHost host{&input, ReadAt, Allocate, Release};
    const SzSink sink{nullptr, Begin, Write, End};
    SzArchive* archive = nullptr;
    if (SzArchive_Open(&host, size, &archive) == UNPACK_OK) {
        SzItem item;
        for (uint32_t i = 0; i < SzArchive_ItemCount(archive); ++i)
            SzArchive_Item(archive, i, &item);
        SzArchive_Extract(archive, &sink);
    }
    gSink = gSink + unsigned(std::strlen(SzArchive_LastMessage(archive)));
    SzArchive_Close(archive);
    return 0;
}
