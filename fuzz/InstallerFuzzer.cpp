// Feeds arbitrary bytes to the installer recogniser, as a program and as a package, and to the cabinet
// name reader on its own, so that the reading of resources, version data and cabinet entries is explored
// without having to get past the PE headers first.
#include "project/installer/CabinetNames.h"
#include "project/installer/RecogniseInstaller.h"

#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> input(data, size);
    pw::MemoryByteSource source(input);
    pw::RecogniseInstaller(source, QStringLiteral("setup.exe"));
    pw::RecogniseInstaller(source, QStringLiteral("setup.msi"));
    pw::CabinetFileNames(input, 64);
    return 0;
}
