#pragma once
// What two of an image's data directories say about the Windows it needs: the libraries and functions
// the loader binds before the program starts (the import directory; libraries loaded later, as delay-
// loaded ones are, never stop a start), and the .NET runtime a managed program asks for (the CLR header).
// Every count and length is bounded, so a damaged or hostile image costs little.
#include "platform/version/PeImage.h"

#include <QByteArray>

#include <optional>
#include <vector>

namespace pw {

struct PeImportedLibrary {
    QByteArray name;                   // as the image spells it, "KERNEL32.dll"
    std::vector<QByteArray> functions;  // by name; one imported by ordinal only reads "#" and its number
};

// The import directory, in its order: at most kMaxImportedLibraries libraries and kMaxImports functions
// in all. An entry that cannot be read ends the list there.
inline constexpr size_t kMaxImportedLibraries = 256;
inline constexpr size_t kMaxImports = 8192;
std::vector<PeImportedLibrary> ReadImports(PeImage& image);

// The runtime version a .NET image's metadata names ("v2.0.50727", "v4.0.30319"); nullopt for an image
// without a CLR header, an empty text when the header is there but its metadata cannot be read.
std::optional<QByteArray> ReadClrRuntimeVersion(PeImage& image);

}  // namespace pw
