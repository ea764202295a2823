// The layout is that of Microsoft's Cabinet format document ([MS-CAB] 2.1 CFHEADER, 2.3 CFFILE): a
// header whose field coffFiles gives the offset of the first CFFILE entry and cFiles their count, each
// entry 16 bytes of sizes, offsets and dates followed by the file's name, NUL-terminated.
#include "project/installer/CabinetNames.h"

#include "platform/version/LittleEndian.h"

#include <algorithm>

namespace pw {
namespace {

constexpr size_t kHeaderSize = 36;
constexpr size_t kFileEntryFixedSize = 16;
// A name longer than this is not a cabinet's ([MS-CAB]: CB_MAX_FILENAME).
constexpr size_t kMaxNameLength = 256;

}  // namespace

QList<QByteArray> CabinetFileNames(std::span<const uint8_t> bytes, int limit)
{
    QList<QByteArray> names;
    if (bytes.size() < kHeaderSize || !std::equal(bytes.begin(), bytes.begin() + 4, "MSCF")
        || LoadLe32(bytes, 4) != 0)
        return names;
    const int count = std::min<int>(LoadLe16(bytes, 28), limit);
    size_t at = LoadLe32(bytes, 16);
    while (names.size() < count && at <= bytes.size() && bytes.size() - at > kFileEntryFixedSize) {
        const auto name = bytes.subspan(at + kFileEntryFixedSize);
        const auto end = std::find(name.begin(), name.begin() + std::min(name.size(), kMaxNameLength + 1), 0);
        if (end == name.end() || size_t(end - name.begin()) > kMaxNameLength)
            break;
        names.append(QByteArray(reinterpret_cast<const char*>(name.data()), end - name.begin()));
        at += kFileEntryFixedSize + names.back().size() + 1;
    }
    return names;
}

}  // namespace pw
