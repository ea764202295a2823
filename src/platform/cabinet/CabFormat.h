#pragma once
// On-disk pieces of a cabinet: record sizes, little-endian fields, the data-block checksum and the
// encoding of one data block.
#include "platform/cabinet/Fci.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

struct libdeflate_compressor;
struct z_stream_s;

namespace pw::fci {

constexpr std::uint32_t kBlockSize = 32768;            // uncompressed bytes of every data block but a folder's last
constexpr std::uint32_t kMaxMsZipPayload = 32768 + 12;  // the bound a decoder may hold an MSZIP block to
constexpr std::uint32_t kMaxFolderBytes = 0x7FFF8000;   // 65,535 full blocks: the most a folder can address
constexpr std::uint32_t kMaxCount = 65535;              // files or folders in one cabinet
constexpr std::uint32_t kHeaderSize = 36;
constexpr std::uint32_t kFolderSize = 8;
constexpr std::uint32_t kFileSize = 16;
constexpr std::uint32_t kDataHeaderSize = 8;

constexpr std::uint16_t kFlagPrevCabinet = 0x0001;
constexpr std::uint16_t kFlagNextCabinet = 0x0002;
constexpr std::uint16_t kFlagReservePresent = 0x0004;

constexpr std::uint16_t kAttribExecute = 0x40;
constexpr std::uint16_t kAttribNameIsUtf8 = 0x80;

constexpr std::uint16_t kContinuedFromPrev = 0xFFFD;
constexpr std::uint16_t kContinuedToNext = 0xFFFE;
constexpr std::uint16_t kContinuedPrevAndNext = 0xFFFF;

// Room the writer keeps in a cabinet's header for the names of the next cabinet and disk, which are
// known only once the next-cabinet callback has run, when it judges whether the content still fits.
constexpr std::uint64_t kNextNamesRoom = CB_MAX_CABINET_NAME + CB_MAX_DISK_NAME;

// The size the writer gives a cabinet with no reserved areas that holds one folder of `payload` stored
// (uncompressed) bytes, in files named with `nameBytes` bytes in all, when it judges whether it fits
// CCAB.cb: the content fits one cabinet when this is at most cb.
constexpr std::uint64_t StoredCabinetBytes(std::uint64_t payload, std::uint64_t files, std::uint64_t nameBytes)
{
    const std::uint64_t blocks = (payload + kBlockSize - 1) / kBlockSize;
    return kHeaderSize + kNextNamesRoom + kFolderSize + files * (kFileSize + 1) + nameBytes +
           blocks * kDataHeaderSize + payload;
}

// Bytes a name takes in a header: its text and the NUL after it.
inline std::uint64_t NameBytes(const char* text)
{
    return std::strlen(text) + 1;
}

inline void PutU16(unsigned char* p, std::uint16_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void PutU32(unsigned char* p, std::uint32_t v)
{
    PutU16(p, static_cast<std::uint16_t>(v));
    PutU16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

// The format's checksum: XOR of the little-endian 32-bit words, the 1 to 3 bytes left over folded in
// with the first of them most significant.
std::uint32_t Checksum(const unsigned char* data, std::size_t size, std::uint32_t seed);

// Turns up to one block of uncompressed bytes into a data record: header, zeroed reserve, payload.
class BlockEncoder {
public:
    BlockEncoder() = default;
    BlockEncoder(const BlockEncoder&) = delete;
    BlockEncoder& operator=(const BlockEncoder&) = delete;
    ~BlockEncoder();

    // Room `record` must have for one record with the given reserve size.
    static std::size_t RecordCapacity(std::uint32_t reserve) { return kDataHeaderSize + reserve + kMaxMsZipPayload; }

    // Writes the record and returns its size; 0 when the deflate engine cannot be had (out of memory).
    // `payloadSize` receives the size of the payload alone.
    std::size_t Encode(TCOMP type, const unsigned char* data, std::uint32_t size, std::uint32_t reserve,
                       unsigned char* record, std::uint32_t* payloadSize);

private:
    std::uint32_t Deflate(const unsigned char* data, std::uint32_t size, unsigned char* out);
    std::size_t DeflateWithZlib(const unsigned char* data, std::uint32_t size, unsigned char* out, std::size_t room,
                                int strategy);

    libdeflate_compressor* compressor_ = nullptr;  // the fast engine, for nearly every block
    z_stream_s* zlib_ = nullptr;                   // for the blocks whose codes not every reader takes
};

}  // namespace pw::fci
