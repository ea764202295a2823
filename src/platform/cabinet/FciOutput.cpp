// Writing a finished cabinet file, and every read, write and seek of the cabinet and temporary files,
// all through the caller's callbacks.
#include "platform/cabinet/FciContext.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pw::fci {
namespace {

// Bytes moved from a temporary file to the cabinet at a time, and written to a temporary file at a time;
// the cabinet's chunks end where its file offsets are multiples of this.
constexpr std::size_t kCopyChunk = 1 << 20;

}  // namespace

void Context::FillHeader(unsigned char* out, std::uint32_t cabinetSize, std::uint32_t filesAt, const CCAB* next) const
{
    const bool reserve = ccab_.cbReserveCFHeader || ccab_.cbReserveCFFolder || ccab_.cbReserveCFData;
    std::uint16_t flags = 0;
    if (hasPrevious_)
        flags |= kFlagPrevCabinet;
    if (next)
        flags |= kFlagNextCabinet;
    if (reserve)
        flags |= kFlagReservePresent;
    // The signature is written last, once the whole cabinet is on disk.
    std::memcpy(out, "!CAB", 4);
    PutU32(out + 8, cabinetSize);
    PutU32(out + 16, filesAt);
    out[24] = 3;
    out[25] = 1;
    PutU16(out + 26, static_cast<std::uint16_t>(parts_.size()));
    PutU16(out + 28, static_cast<std::uint16_t>(files_.size()));
    PutU16(out + 30, flags);
    PutU16(out + 32, ccab_.setID);
    PutU16(out + 34, static_cast<std::uint16_t>(ccab_.iCab));
    unsigned char* p = out + kHeaderSize;
    if (reserve) {
        PutU16(p, static_cast<std::uint16_t>(ccab_.cbReserveCFHeader));
        p[2] = static_cast<unsigned char>(ccab_.cbReserveCFFolder);
        p[3] = static_cast<unsigned char>(ccab_.cbReserveCFData);
        p += 4 + ccab_.cbReserveCFHeader;
    }
    const auto putName = [&p](const char* text) {
        const std::size_t n = std::strlen(text) + 1;
        std::memcpy(p, text, n);
        p += n;
    };
    if (hasPrevious_) {
        putName(previousCab_);
        putName(previousDisk_);
    }
    if (next) {
        putName(next->szCab);
        putName(next->szDisk);
    }
}

void Context::WriteCabinetFile(const CCAB* next, ULONG estimate)
{
    const std::uint64_t header = HeaderBytes(next ? NameBytes(next->szCab) + NameBytes(next->szDisk) : 0);
    const std::uint64_t filesAt = header + parts_.size() * FolderRecordBytes();
    const std::uint64_t dataAt = filesAt + filesBytes_;
    const std::uint64_t total = dataAt + partsBytes_;
    if (total > 0xFFFFFFFFu)
        throw Failure{FCIERR_CAB_FORMAT_LIMIT, EFBIG};

    CallerVector<unsigned char> head(dataAt, 0, CallerAllocator<unsigned char>(cb_.memory));
    FillHeader(head.data(), static_cast<std::uint32_t>(total), static_cast<std::uint32_t>(filesAt), next);
    unsigned char* p = head.data() + header;
    std::uint64_t blocksAt = dataAt;
    for (const FolderPart& part : parts_) {
        PutU32(p, static_cast<std::uint32_t>(blocksAt));
        PutU16(p + 4, static_cast<std::uint16_t>(part.blocks));
        PutU16(p + 6, part.type);
        p += FolderRecordBytes();
        blocksAt += part.bytes;
    }
    for (const FileRecord& file : files_) {
        PutU32(p, file.size);
        PutU32(p + 4, file.offset);
        PutU16(p + 8, file.folder);
        PutU16(p + 10, file.date);
        PutU16(p + 12, file.time);
        PutU16(p + 14, file.attribs);
        std::memcpy(p + kFileSize, file.name.c_str(), file.name.size() + 1);
        p += FileRecordBytes(file);
    }

    CallerString path(ccab_.szCabPath, CallerAllocator<char>(cb_.memory));
    path += ccab_.szCab;
    int err = 0;
    const INT_PTR cabinet = cb_.open(path.data(), _O_RDWR | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE, &err, pv_);
    if (cabinet == -1)
        throw Failure{FCIERR_CAB_FILE, static_cast<UINT>(err)};
    // A cabinet that cannot be finished is removed, so nothing half-written is left under its name.
    try {
        WriteAll(cabinet, head.data(), head.size(), FCIERR_CAB_FILE);
        std::uint64_t copied = 0;
        for (const FolderPart& part : parts_)
            CopyPart(cabinet, part, &copied, partsBytes_);
        Seek(cabinet, 0, kSeekSet, FCIERR_CAB_FILE);
        WriteAll(cabinet, "MSCF", 4, FCIERR_CAB_FILE);
    } catch (...) {
        cb_.close(cabinet, &err, pv_);
        cb_.remove(path.data(), &err, pv_);
        throw;
    }
    if (cb_.close(cabinet, &err, pv_) != 0) {
        const auto closeError = static_cast<UINT>(err);
        cb_.remove(path.data(), &err, pv_);
        throw Failure{FCIERR_CAB_FILE, closeError};
    }
    for (FolderPart& part : parts_) {
        if (part.ownsTemp)
            ReleaseTemp(&part.temp);
    }
    Status(statusCabinet, estimate, total);
}

void Context::CopyPart(INT_PTR cabinet, const FolderPart& part, std::uint64_t* copied, std::uint64_t total)
{
    if (part.blocks == 0)
        return;
    Seek(part.temp.handle, part.tempOffset, kSeekSet, FCIERR_TEMP_FILE);
    std::uint64_t middle = 0;
    if (part.blocks == 1) {
        CopyRecord(cabinet, part.temp.handle, part.firstRecord, part.headSkip, part.tailKeep);
    } else {
        middle = part.tempBytes - part.firstRecord - part.lastRecord;
        CopyRecord(cabinet, part.temp.handle, part.firstRecord, part.headSkip, -1);
        CopyBytes(cabinet, part.temp.handle, middle, copied, total);
        CopyRecord(cabinet, part.temp.handle, part.lastRecord, 0, part.tailKeep);
    }
    *copied += part.bytes - middle;
    Status(statusFolder, *copied, total);
}

void Context::CopyRecord(INT_PTR cabinet, INT_PTR temp, std::uint32_t size, std::uint32_t skip, std::int64_t keep)
{
    ReadAll(temp, record_.data(), size);
    if (skip == 0 && keep < 0) {
        WriteAll(cabinet, record_.data(), size, FCIERR_CAB_FILE);
        return;
    }
    // One piece of a block split between two cabinets: its own header, and a block size of 0 on every
    // piece but the last, which tells readers to go on in the next cabinet.
    const std::uint32_t header = DataHeaderBytes();
    const std::uint32_t payload = size - header;
    const std::uint32_t length = keep < 0 ? payload - skip : static_cast<std::uint32_t>(keep);
    const std::uint16_t uncompressed = keep < 0 ? static_cast<std::uint16_t>(record_[6] | record_[7] << 8) : 0;
    unsigned char* piece = record_.data() + skip;  // the header goes just before the piece's payload
    std::memset(piece, 0, header);
    PutU16(piece + 4, static_cast<std::uint16_t>(length));
    PutU16(piece + 6, uncompressed);
    PutU32(piece, Checksum(piece + 4, 4, Checksum(piece + header, length, 0)));
    WriteAll(cabinet, piece, header + length, FCIERR_CAB_FILE);
}

void Context::CopyBytes(INT_PTR cabinet, INT_PTR temp, std::uint64_t size, std::uint64_t* copied, std::uint64_t total)
{
    if (size == 0)
        return;
    if (copy_.empty())
        copy_.resize(kCopyChunk);
    int err = 0;
    const LONG at = cb_.seek(cabinet, 0, kSeekCurrent, &err, pv_);
    if (at == -1)
        throw Failure{FCIERR_CAB_FILE, static_cast<UINT>(err)};
    // The first chunk brings the cabinet to a chunk boundary: every later write then covers whole pages.
    std::size_t chunk = kCopyChunk - static_cast<std::size_t>(at) % kCopyChunk;
    for (std::uint64_t left = size; left > 0; chunk = kCopyChunk) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk));
        ReadAll(temp, copy_.data(), n);
        WriteAll(cabinet, copy_.data(), n, FCIERR_CAB_FILE);
        left -= n;
        *copied += n;
        Status(statusFolder, *copied, total);
    }
}

void Context::PlaceFile(FileRecord& file, bool continuation)
{
    if (cb_.filePlaced(&ccab_, file.name.data(), static_cast<LONG>(file.size), continuation, pv_) == -1)
        throw Failure{FCIERR_USER_ABORT, 0};
}

void Context::OpenTemp(TempFile* temp)
{
    if (!cb_.tempName(temp->name, sizeof temp->name, pv_))
        throw Failure{FCIERR_TEMP_FILE, 0};
    temp->name[sizeof temp->name - 1] = 0;
    int err = 0;
    temp->handle = cb_.open(temp->name, _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE, &err, pv_);
    if (temp->handle == -1)
        throw Failure{FCIERR_TEMP_FILE, static_cast<UINT>(err)};
}

void Context::ReleaseTemp(TempFile* temp)
{
    if (temp->handle == -1)
        return;
    int err = 0;
    const INT_PTR handle = temp->handle;
    temp->handle = -1;
    if (cb_.close(handle, &err, pv_) != 0 || cb_.remove(temp->name, &err, pv_) != 0)
        throw Failure{FCIERR_TEMP_FILE, static_cast<UINT>(err)};
}

void Context::DiscardTemp(TempFile* temp) noexcept
{
    if (temp->handle == -1)
        return;
    int err = 0;
    cb_.close(temp->handle, &err, pv_);
    cb_.remove(temp->name, &err, pv_);
    temp->handle = -1;
}

void Context::AppendToTemp(const unsigned char* data, std::size_t size)
{
    if (tempChunk_.empty())
        tempChunk_.resize(kCopyChunk);
    while (size > 0) {
        const std::size_t n = std::min(size, tempChunk_.size() - tempChunked_);
        std::memcpy(tempChunk_.data() + tempChunked_, data, n);
        tempChunked_ += n;
        data += n;
        size -= n;
        if (tempChunked_ == tempChunk_.size())
            FlushTemp();
    }
}

void Context::FlushTemp()
{
    if (tempChunked_ == 0)
        return;
    WriteAll(open_.temp.handle, tempChunk_.data(), tempChunked_, FCIERR_TEMP_FILE);
    tempChunked_ = 0;
}

void Context::WriteAll(INT_PTR handle, const void* data, std::size_t size, UINT failure)
{
    int err = 0;
    const UINT written = cb_.write(handle, const_cast<void*>(data), static_cast<UINT>(size), &err, pv_);
    if (written != size)
        throw Failure{failure, static_cast<UINT>(written == static_cast<UINT>(-1) ? err : ENOSPC)};
}

void Context::ReadAll(INT_PTR handle, void* data, std::size_t size)
{
    int err = 0;
    const UINT got = cb_.read(handle, data, static_cast<UINT>(size), &err, pv_);
    if (got != size)
        throw Failure{FCIERR_TEMP_FILE, static_cast<UINT>(got == static_cast<UINT>(-1) ? err : EIO)};
}

void Context::Seek(INT_PTR handle, std::uint64_t position, int origin, UINT failure)
{
    if (position > 0x7FFFFFFF)
        throw Failure{FCIERR_CAB_FORMAT_LIMIT, EFBIG};
    int err = 0;
    const LONG reached = cb_.seek(handle, static_cast<LONG>(position), origin, &err, pv_);
    if (reached == -1 || (origin == kSeekSet && std::uint64_t(reached) != position))
        throw Failure{failure, static_cast<UINT>(err)};
}

void Context::Status(UINT kind, std::uint64_t first, std::uint64_t second)
{
    const auto clamp = [](std::uint64_t v) { return static_cast<ULONG>(std::min<std::uint64_t>(v, 0xFFFFFFFFu)); };
    if (status_(kind, clamp(first), clamp(second), pv_) == -1)
        throw Failure{FCIERR_USER_ABORT, 0};
}

}  // namespace pw::fci
