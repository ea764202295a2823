#include "platform/cabinet/FciContext.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pw::fci {
namespace {

bool IsAscii(const char* text)
{
    for (; *text; ++text) {
        if (static_cast<unsigned char>(*text) >= 0x80)
            return false;
    }
    return true;
}

void CopyName(char* out, const char* text)
{
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n + 1);
}

}  // namespace

Context::Context(ERF* erf, const Callbacks& callbacks, CCAB* caller, void* pv)
    : erf_(erf),
      cb_(callbacks),
      caller_(caller),
      pv_(pv),
      ccab_(*caller),
      parts_(CallerAllocator<FolderPart>(callbacks.memory)),
      files_(CallerAllocator<FileRecord>(callbacks.memory)),
      open_{tcompTYPE_NONE, {}, CallerVector<Block>(CallerAllocator<Block>(callbacks.memory)), 0, 0, 0, 0, 0,
            CallerVector<FileRecord>(CallerAllocator<FileRecord>(callbacks.memory)), 0, 0, 0, 0, 0, false},
      record_(BlockEncoder::RecordCapacity(caller->cbReserveCFData), CallerAllocator<unsigned char>(callbacks.memory)),
      copy_(CallerAllocator<unsigned char>(callbacks.memory)),
      tempChunk_(CallerAllocator<unsigned char>(callbacks.memory)),
      pipeline_(callbacks.memory, caller->cbReserveCFData)
{
    if (ccab_.cb == 0 || ccab_.cb > CB_MAX_DISK)
        ccab_.cb = CB_MAX_DISK;
    if (ccab_.cbFolderThresh == 0)
        ccab_.cbFolderThresh = CB_MAX_DISK;
}

Context::~Context()
{
    DiscardTemp(&open_.temp);
    for (FolderPart& part : parts_) {
        if (part.ownsTemp)
            DiscardTemp(&part.temp);
    }
    magic_ = 0;
}

BOOL Context::Report(Failure failure)
{
    *erf_ = {failure.oper, failure.type, 1};
    return 0;
}

template <class Body>
BOOL Context::Guarded(PFNFCIGETNEXTCABINET nextCabinet, PFNFCISTATUS status, Body body)
{
    // A call that fails part-way leaves a folder that no longer matches its files, so every later call
    // reports the same failure instead of writing a cabinet from it.
    if (hasFailed_)
        return Report(failed_);
    if (!nextCabinet || !status)
        return Report({FCIERR_NONE, EINVAL});
    nextCabinet_ = nextCabinet;
    status_ = status;
    try {
        body();
        return 1;
    } catch (const Failure& failure) {
        if (failure.leavesContextUsable)
            return Report(failure);
        failed_ = failure;
    } catch (const std::bad_alloc&) {
        failed_ = {FCIERR_ALLOC_FAIL, ENOMEM};
    } catch (...) {
        hasFailed_ = true;
        failed_ = {FCIERR_USER_ABORT, 0};
        throw;
    }
    hasFailed_ = true;
    return Report(failed_);
}

BOOL Context::AddFile(const char* source, const char* name, bool execute, PFNFCIGETNEXTCABINET nextCabinet,
                      PFNFCISTATUS status, PFNFCIGETOPENINFO openInfo, TCOMP type)
{
    if (hasFailed_)
        return Report(failed_);
    if (!source || !name || !openInfo || !*name)
        return Report({FCIERR_NONE, EINVAL});
    if (std::strlen(name) >= CB_MAX_FILENAME)
        return Report({FCIERR_CAB_FORMAT_LIMIT, ENAMETOOLONG});
    if (type != tcompTYPE_NONE && type != tcompTYPE_MSZIP)
        return Report({FCIERR_BAD_COMPR_TYPE, 0});
    return Guarded(nextCabinet, status, [&] {
        if (!open_.files.empty() && open_.type != type)
            CloseFolder();
        if (open_.files.empty()) {
            if (parts_.size() >= kMaxCount)
                throw Failure{FCIERR_CAB_FORMAT_LIMIT, 0};
            open_.type = type;
        }
        if (files_.size() + (open_.files.size() - open_.firstCurrent) >= kMaxCount)
            throw Failure{FCIERR_CAB_FORMAT_LIMIT, 0};
        ReadSource(source, name, execute, openInfo);
        if (!MightReachLimits())
            return;
        StoreEncodedBlocks(true);
        SpillFullCabinets();
        // Folders end only between files, so a folder may pass its threshold by the last file's size. A
        // folder that goes on from one cabinet into the next holds no file that the first does not list,
        // which is what readers of cabinet sets expect; so no file joins it after the split.
        if (open_.continued || open_.compressed >= ccab_.cbFolderThresh)
            CloseFolder();
    });
}

BOOL Context::FlushCabinet(bool getNextCabinet, PFNFCIGETNEXTCABINET nextCabinet, PFNFCISTATUS status)
{
    return Guarded(nextCabinet, status, [&] {
        CloseFolder();
        if (!parts_.empty())
            FinishCabinet(nullptr, getNextCabinet);
    });
}

BOOL Context::FlushFolder(PFNFCIGETNEXTCABINET nextCabinet, PFNFCISTATUS status)
{
    return Guarded(nextCabinet, status, [&] { CloseFolder(); });
}

void Context::ReadSource(const char* source, const char* name, bool execute, PFNFCIGETOPENINFO openInfo)
{
    FileRecord file{CallerString(name, CallerAllocator<char>(cb_.memory)), 0, 0, 0, 0, 0, 0, false};
    int err = 0;
    const INT_PTR handle = openInfo(const_cast<char*>(source), &file.date, &file.time, &file.attribs, &err, pv_);
    if (handle == -1)
        throw Failure{FCIERR_OPEN_SRC, static_cast<UINT>(err), true};
    if (execute)
        file.attribs |= kAttribExecute;
    if (!IsAscii(name))
        file.attribs |= kAttribNameIsUtf8;
    try {
        MakeRoomInFolder(handle);
        file.offset = open_.total;
        for (;;) {
            const UINT room = kBlockSize - open_.buffered;
            const UINT got = cb_.read(handle, BlockRoom() + open_.buffered, room, &err, pv_);
            if (got == 0)
                break;
            if (got == static_cast<UINT>(-1))
                throw Failure{FCIERR_READ_SRC, static_cast<UINT>(err)};
            if (got > room)
                throw Failure{FCIERR_READ_SRC, EIO};
            if (kMaxFolderBytes - open_.total < got)
                throw Failure{FCIERR_CAB_FORMAT_LIMIT, EFBIG};
            open_.total += got;
            open_.buffered += got;
            file.size += got;
            if (open_.buffered == kBlockSize)
                EmitBlock();
        }
    } catch (...) {
        cb_.close(handle, &err, pv_);
        throw;
    }
    cb_.close(handle, &err, pv_);
    open_.currentFileBytes += FileRecordBytes(file);
    open_.files.push_back(std::move(file));
}

void Context::MakeRoomInFolder(INT_PTR source)
{
    // A folder addresses at most kMaxFolderBytes, and a file cannot be split between two folders. So a
    // file that would carry the open folder past that starts a folder of its own, and one larger than any
    // folder is refused before a byte of it is read. A source whose size cannot be had (a pipe) is read
    // and held to the limit as it comes.
    int err = 0;
    const LONG size = cb_.seek(source, 0, kSeekEnd, &err, pv_);
    if (size == -1 && err == EOVERFLOW)
        throw Failure{FCIERR_CAB_FORMAT_LIMIT, EFBIG, true};
    if (size == -1)
        return;
    if (cb_.seek(source, 0, kSeekSet, &err, pv_) != 0)
        throw Failure{FCIERR_READ_SRC, static_cast<UINT>(err), true};
    if (static_cast<std::uint32_t>(size) > kMaxFolderBytes)
        throw Failure{FCIERR_CAB_FORMAT_LIMIT, EFBIG, true};
    if (!open_.files.empty() && kMaxFolderBytes - open_.total < static_cast<std::uint32_t>(size))
        CloseFolder();
}

unsigned char* Context::BlockRoom()
{
    unsigned char* room;
    while (!(room = pipeline_.Input()))
        StoreOldestBlock(true);
    return room;
}

void Context::EmitBlock()
{
    if (open_.temp.handle == -1)
        OpenTemp(&open_.temp);
    pipeline_.Give(open_.type, open_.buffered);
    open_.buffered = 0;
    StoreEncodedBlocks(false);
}

bool Context::StoreOldestBlock(bool wait)
{
    BlockPipeline::Record record;
    if (!pipeline_.Oldest(wait, &record))
        return false;
    if (record.size == 0)
        throw Failure{FCIERR_ALLOC_FAIL, ENOMEM};
    AppendToTemp(record.bytes, record.size);
    open_.blocks.push_back({static_cast<std::uint32_t>(record.size), record.uncompressed});
    open_.unassignedBytes += record.size;
    open_.compressed += record.payload;
    pipeline_.TakeBack();
    Status(statusFile, record.payload, record.uncompressed);
    return true;
}

void Context::StoreEncodedBlocks(bool wait)
{
    while (StoreOldestBlock(wait)) {
    }
}

bool Context::MightReachLimits() const
{
    // The blocks still being compressed are counted at the most they can take: when even that keeps the
    // cabinet and the folder within their limits, their real sizes can change nothing, and the caller
    // reads on while they are compressed.
    const std::uint64_t pending = pipeline_.Pending();
    const std::uint64_t most = pending * (DataHeaderBytes() + kMaxMsZipPayload);
    return open_.continued || open_.compressed + pending * kMaxMsZipPayload >= ccab_.cbFolderThresh ||
           ProjectedSize(true, open_.unassignedBytes + most, open_.currentFileBytes) > ccab_.cb;
}

void Context::CloseFolder()
{
    if (open_.files.empty())
        return;
    if (open_.buffered > 0)
        EmitBlock();
    StoreEncodedBlocks(true);
    FlushTemp();
    SpillFullCabinets();
    if (parts_.size() >= kMaxCount)
        throw Failure{FCIERR_CAB_FORMAT_LIMIT, 0};
    const auto index = static_cast<USHORT>(parts_.size());
    for (std::size_t i = open_.firstCurrent; i < open_.files.size(); ++i) {
        FileRecord& file = open_.files[i];
        file.folder = file.listed ? kContinuedFromPrev : index;
        PlaceFile(file, file.listed);
        filesBytes_ += FileRecordBytes(file);
        files_.push_back(std::move(file));
    }
    FolderPart part = OpenPart(open_.blocks.size() - open_.firstUnassigned, -1);
    part.ownsTemp = true;
    part.bytes = open_.unassignedBytes;
    parts_.push_back(part);
    partsBytes_ += part.bytes;
    ResetOpenFolder();
}

Context::FolderPart Context::OpenPart(std::size_t records, std::int64_t tailKeep) const
{
    FolderPart part{open_.type, open_.temp, false, open_.unassignedTempOffset, 0, static_cast<std::uint32_t>(records),
                    0, 0, open_.headSkip, tailKeep, 0};
    for (std::size_t i = 0; i < records; ++i)
        part.tempBytes += open_.blocks[open_.firstUnassigned + i].recordSize;
    if (records > 0) {
        part.firstRecord = open_.blocks[open_.firstUnassigned].recordSize;
        part.lastRecord = open_.blocks[open_.firstUnassigned + records - 1].recordSize;
    }
    return part;
}

void Context::ResetOpenFolder()
{
    tempChunked_ = 0;
    open_.temp = {};
    open_.blocks.clear();
    open_.firstUnassigned = 0;
    open_.unassignedTempOffset = 0;
    open_.headSkip = 0;
    open_.unassignedBytes = 0;
    open_.unassignedStart = 0;
    open_.files.clear();
    open_.firstCurrent = 0;
    open_.currentFileBytes = 0;
    open_.total = 0;
    open_.compressed = 0;
    open_.buffered = 0;
    open_.continued = false;
}

std::uint64_t Context::HeaderBytes(std::uint64_t nextNames) const
{
    std::uint64_t size = kHeaderSize + nextNames;
    if (ccab_.cbReserveCFHeader || ccab_.cbReserveCFFolder || ccab_.cbReserveCFData)
        size += 4 + ccab_.cbReserveCFHeader;
    if (hasPrevious_)
        size += NameBytes(previousCab_) + NameBytes(previousDisk_);
    return size;
}

std::uint64_t Context::ProjectedSize(bool withOpenPart, std::uint64_t openData, std::uint64_t openFileBytes) const
{
    const std::uint64_t folders = parts_.size() + (withOpenPart ? 1 : 0);
    return HeaderBytes(kNextNamesRoom) + folders * FolderRecordBytes() + filesBytes_ + openFileBytes + partsBytes_ +
           openData;
}

std::uint32_t Context::PayloadLeft(std::size_t block) const
{
    const std::uint32_t payload = open_.blocks[open_.firstUnassigned + block].recordSize - DataHeaderBytes();
    return block == 0 ? payload - open_.headSkip : payload;
}

void Context::SpillFullCabinets()
{
    for (;;) {
        const std::size_t pending = open_.blocks.size() - open_.firstUnassigned;
        const bool openPart = pending > 0 || open_.firstCurrent < open_.files.size();
        if (ProjectedSize(openPart, open_.unassignedBytes, open_.currentFileBytes) <= ccab_.cb)
            return;
        if (pending == 0) {
            // Only whole folders are over the limit: they go into this cabinet, the open folder into the next.
            if (parts_.empty())
                return;
            FinishCabinet(nullptr, true);
            continue;
        }
        // Whole blocks while they fit, then as much of the next one as fits. The cabinet always ends
        // inside a block: readers of a set join the two pieces of that block.
        const std::uint64_t fixed = ProjectedSize(true, 0, open_.currentFileBytes);
        const std::uint64_t room = ccab_.cb > fixed ? ccab_.cb - fixed : 0;
        Cut cut{0, 0};
        std::uint64_t used = 0;
        while (cut.wholeBlocks < pending && used + DataHeaderBytes() + PayloadLeft(cut.wholeBlocks) <= room)
            used += DataHeaderBytes() + PayloadLeft(cut.wholeBlocks++);
        const std::uint64_t left = room - used;
        std::uint64_t keep = left > DataHeaderBytes() ? left - DataHeaderBytes() : 0;
        if (keep == 0) {
            if (cut.wholeBlocks > 0) {
                --cut.wholeBlocks;
                keep = PayloadLeft(cut.wholeBlocks) - 1;
            } else if (!parts_.empty()) {
                FinishCabinet(nullptr, true);
                continue;
            } else {
                keep = 1;  // the headers alone fill the cabinet: it passes its limit by one small piece
            }
        }
        const std::uint32_t payload = PayloadLeft(cut.wholeBlocks);
        cut.keep = static_cast<std::uint32_t>(std::min<std::uint64_t>(keep, payload > 0 ? payload - 1 : 0));
        FinishCabinet(&cut, true);
    }
}

bool Context::FinishedBy(const FileRecord& file, std::uint32_t end)
{
    return file.size > 0 ? std::uint64_t(file.offset) + file.size <= end : file.offset < end;
}

void Context::FinishCabinet(const Cut* cut, bool withNext)
{
    const std::size_t closedFiles = files_.size();
    std::uint32_t end = open_.unassignedStart;
    if (cut) {
        // Every file of the open folder not finished before the split block is listed here too.
        std::uint64_t data = DataHeaderBytes() + cut->keep;
        for (std::size_t i = 0; i < cut->wholeBlocks; ++i) {
            end += open_.blocks[open_.firstUnassigned + i].uncompressed;
            data += DataHeaderBytes() + PayloadLeft(i);
        }
        const auto index = static_cast<USHORT>(parts_.size());
        for (std::size_t i = open_.firstCurrent; i < open_.files.size(); ++i) {
            FileRecord file = open_.files[i];
            const bool finished = FinishedBy(file, end);
            file.folder = finished ? (file.listed ? kContinuedFromPrev : index)
                                   : (file.listed ? kContinuedPrevAndNext : kContinuedToNext);
            filesBytes_ += FileRecordBytes(file);
            files_.push_back(std::move(file));
        }
        FolderPart part = OpenPart(cut->wholeBlocks + 1, cut->keep);
        part.bytes = data;
        parts_.push_back(part);
        partsBytes_ += data;
    }
    const auto estimate = static_cast<ULONG>(std::min<std::uint64_t>(ProjectedSize(false, 0, 0), CB_MAX_DISK));
    CCAB next{};
    if (withNext) {
        ++caller_->iCab;
        if (!nextCabinet_(caller_, estimate, pv_))
            throw Failure{FCIERR_USER_ABORT, 0};
        next = *caller_;
        next.szCab[CB_MAX_CABINET_NAME - 1] = next.szDisk[CB_MAX_DISK_NAME - 1] = 0;
        next.szCabPath[CB_MAX_CAB_PATH - 1] = 0;
    }
    for (std::size_t i = closedFiles; i < files_.size(); ++i) {
        const USHORT mark = files_[i].folder;
        PlaceFile(files_[i], mark == kContinuedFromPrev || mark == kContinuedPrevAndNext);
    }
    FlushTemp();  // a cut copies records of the open folder
    WriteCabinetFile(withNext ? &next : nullptr, withNext ? estimate : 0);
    if (cut) {
        AdvanceOpenFolder(*cut, end);
        Seek(open_.temp.handle, 0, kSeekEnd, FCIERR_TEMP_FILE);
    }
    parts_.clear();
    files_.clear();
    partsBytes_ = filesBytes_ = 0;
    if (withNext) {
        // A set shares its reserve sizes; everything else of the next cabinet is the caller's choice.
        CopyName(previousCab_, ccab_.szCab);
        CopyName(previousDisk_, ccab_.szDisk);
        hasPrevious_ = true;
        next.cbReserveCFHeader = ccab_.cbReserveCFHeader;
        next.cbReserveCFFolder = ccab_.cbReserveCFFolder;
        next.cbReserveCFData = ccab_.cbReserveCFData;
        ccab_ = next;
        if (ccab_.cb == 0 || ccab_.cb > CB_MAX_DISK)
            ccab_.cb = CB_MAX_DISK;
        if (ccab_.cbFolderThresh == 0)
            ccab_.cbFolderThresh = CB_MAX_DISK;
    }
}

void Context::AdvanceOpenFolder(const Cut& cut, std::uint32_t end)
{
    for (std::size_t i = 0; i < cut.wholeBlocks; ++i)
        open_.unassignedTempOffset += open_.blocks[open_.firstUnassigned + i].recordSize;
    open_.headSkip = cut.wholeBlocks > 0 ? cut.keep : open_.headSkip + cut.keep;
    open_.firstUnassigned += cut.wholeBlocks;
    open_.unassignedStart = end;
    open_.unassignedBytes = 0;
    for (std::size_t i = open_.firstUnassigned; i < open_.blocks.size(); ++i)
        open_.unassignedBytes += open_.blocks[i].recordSize;
    open_.unassignedBytes -= open_.headSkip;
    open_.continued = true;
    for (std::size_t i = open_.firstCurrent; i < open_.files.size(); ++i)
        open_.files[i].listed = true;
    while (open_.firstCurrent < open_.files.size() && FinishedBy(open_.files[open_.firstCurrent], end)) {
        open_.currentFileBytes -= FileRecordBytes(open_.files[open_.firstCurrent]);
        ++open_.firstCurrent;
    }
}

}  // namespace pw::fci
