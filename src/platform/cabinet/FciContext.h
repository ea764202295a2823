#pragma once
// The state behind one HFCI: the cabinet being built, the folder being filled, and the caller's
// callbacks through which every byte is read, written and allocated.
//
// Data blocks are compressed as soon as 32 KiB of a folder are gathered (on worker threads and the
// caller's, see BlockPipeline) and go, in their order, to a temporary file of that folder. A cabinet file
// is written only when it is complete, because its header lists the files before their data; its blocks
// are then copied from the temporary files. When a cabinet would pass its
// size limit, as many whole blocks as fit stay in it and the folder goes on in the next cabinet, its
// files marked as continued.
#include "platform/cabinet/BlockPipeline.h"
#include "platform/cabinet/CabFormat.h"
#include "platform/cabinet/CallerMemory.h"
#include "platform/cabinet/Fci.h"

namespace pw::fci {

struct Callbacks {
    PFNFCIFILEPLACED filePlaced;
    MemoryCallbacks memory;
    PFNFCIOPEN open;
    PFNFCIREAD read;
    PFNFCIWRITE write;
    PFNFCICLOSE close;
    PFNFCISEEK seek;
    PFNFCIDELETE remove;
    PFNFCIGETTEMPFILE tempName;
};

// A failure inside the library; the API call that was running reports it in the caller's ERF. One that
// happens before the call changed anything leaves the context usable.
struct Failure {
    UINT oper;
    UINT type;
    bool leavesContextUsable = false;
};

class Context {
public:
    Context(ERF* erf, const Callbacks& callbacks, CCAB* caller, void* pv);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    BOOL AddFile(const char* source, const char* name, bool execute, PFNFCIGETNEXTCABINET nextCabinet,
                 PFNFCISTATUS status, PFNFCIGETOPENINFO openInfo, TCOMP type);
    BOOL FlushCabinet(bool getNextCabinet, PFNFCIGETNEXTCABINET nextCabinet, PFNFCISTATUS status);
    BOOL FlushFolder(PFNFCIGETNEXTCABINET nextCabinet, PFNFCISTATUS status);
    bool IsValid() const { return magic_ == kMagic; }
    PFNFCIFREE FreeCallback() const { return cb_.memory.free; }

private:
    static constexpr std::uint32_t kMagic = 0x46434958;
    static constexpr int kSeekSet = 0;
    static constexpr int kSeekCurrent = 1;
    static constexpr int kSeekEnd = 2;

    struct TempFile {
        INT_PTR handle = -1;
        char name[CB_MAX_FILENAME] = {};
    };
    struct Block {
        std::uint32_t recordSize;
        std::uint32_t uncompressed;
    };
    struct FileRecord {
        CallerString name;
        std::uint32_t size;
        std::uint32_t offset;  // in the folder's uncompressed stream
        USHORT folder;         // index in the cabinet, or one of the "continued" marks
        USHORT date, time, attribs;
        bool listed;           // in an earlier cabinet of the set already
    };
    // A folder, or the part of one, that the cabinet being built holds: `blocks` records of the temporary
    // file from `tempOffset` on. The first may have lost `headSkip` payload bytes to the cabinet before,
    // and of the last only `tailKeep` payload bytes may belong here (the rest going to the next cabinet).
    struct FolderPart {
        TCOMP type;
        TempFile temp;  // owned by the part when its folder is closed
        bool ownsTemp;
        std::uint64_t tempOffset;
        std::uint64_t tempBytes;  // of the whole records
        std::uint32_t blocks;
        std::uint32_t firstRecord;
        std::uint32_t lastRecord;
        std::uint32_t headSkip;
        std::int64_t tailKeep;  // -1: the whole last record
        std::uint64_t bytes;    // as written into the cabinet
    };
    // Where a cabinet ends inside the open folder: after `wholeBlocks` blocks and `keep` payload bytes of
    // the block after them.
    struct Cut {
        std::size_t wholeBlocks;
        std::uint32_t keep;
    };
    // The folder that files are being added to.
    struct OpenFolder {
        TCOMP type = tcompTYPE_NONE;
        TempFile temp;
        CallerVector<Block> blocks;   // blocks[firstUnassigned..] are not wholly in any cabinet yet
        std::size_t firstUnassigned = 0;
        std::uint64_t unassignedTempOffset = 0;
        std::uint32_t headSkip = 0;        // payload bytes of blocks[firstUnassigned] already written
        std::uint64_t unassignedBytes = 0;  // what the unassigned blocks take in a cabinet
        std::uint32_t unassignedStart = 0;  // uncompressed offset of blocks[firstUnassigned]
        CallerVector<FileRecord> files;     // files[firstCurrent..] are not wholly in any cabinet yet
        std::size_t firstCurrent = 0;
        std::uint64_t currentFileBytes = 0;  // CFFILE bytes of files[firstCurrent..]
        std::uint32_t total = 0;             // uncompressed bytes, those still buffered included
        std::uint64_t compressed = 0;
        std::uint32_t buffered = 0;
        bool continued = false;  // part of it is in a cabinet already
    };

    template <class Body>
    BOOL Guarded(PFNFCIGETNEXTCABINET nextCabinet, PFNFCISTATUS status, Body body);
    BOOL Report(Failure failure);

    void ReadSource(const char* source, const char* name, bool execute, PFNFCIGETOPENINFO openInfo);
    void MakeRoomInFolder(INT_PTR source);
    unsigned char* BlockRoom();
    void EmitBlock();
    bool StoreOldestBlock(bool wait);
    void StoreEncodedBlocks(bool wait);
    bool MightReachLimits() const;
    void CloseFolder();
    void SpillFullCabinets();
    void FinishCabinet(const Cut* cut, bool withNext);
    FolderPart OpenPart(std::size_t records, std::int64_t tailKeep) const;
    std::uint32_t PayloadLeft(std::size_t block) const;
    std::uint32_t DataHeaderBytes() const { return kDataHeaderSize + ccab_.cbReserveCFData; }
    void WriteCabinetFile(const CCAB* next, ULONG estimate);
    void FillHeader(unsigned char* out, std::uint32_t cabinetSize, std::uint32_t filesAt, const CCAB* next) const;
    void CopyPart(INT_PTR cabinet, const FolderPart& part, std::uint64_t* copied, std::uint64_t total);
    void CopyRecord(INT_PTR cabinet, INT_PTR temp, std::uint32_t size, std::uint32_t skip, std::int64_t keep);
    void CopyBytes(INT_PTR cabinet, INT_PTR temp, std::uint64_t size, std::uint64_t* copied, std::uint64_t total);
    void PlaceFile(FileRecord& file, bool continuation);
    void AdvanceOpenFolder(const Cut& cut, std::uint32_t end);
    static bool FinishedBy(const FileRecord& file, std::uint32_t end);
    void ResetOpenFolder();

    std::uint64_t HeaderBytes(std::uint64_t nextNames) const;
    std::uint64_t ProjectedSize(bool withOpenPart, std::uint64_t openData, std::uint64_t openFileBytes) const;
    static std::uint64_t FileRecordBytes(const FileRecord& file) { return kFileSize + file.name.size() + 1; }
    std::uint32_t FolderRecordBytes() const { return kFolderSize + ccab_.cbReserveCFFolder; }

    void OpenTemp(TempFile* temp);
    void ReleaseTemp(TempFile* temp);
    void DiscardTemp(TempFile* temp) noexcept;
    void AppendToTemp(const unsigned char* data, std::size_t size);
    void FlushTemp();
    void WriteAll(INT_PTR handle, const void* data, std::size_t size, UINT failure);
    void ReadAll(INT_PTR handle, void* data, std::size_t size);
    void Seek(INT_PTR handle, std::uint64_t position, int origin, UINT failure);
    void Status(UINT kind, std::uint64_t first, std::uint64_t second);

    std::uint32_t magic_ = kMagic;
    ERF* erf_;
    Callbacks cb_;
    CCAB* caller_;
    void* pv_;
    CCAB ccab_;  // the cabinet being built, as the caller described it
    Failure failed_{FCIERR_NONE, 0};
    bool hasFailed_ = false;
    PFNFCIGETNEXTCABINET nextCabinet_ = nullptr;
    PFNFCISTATUS status_ = nullptr;

    bool hasPrevious_ = false;
    char previousCab_[CB_MAX_CABINET_NAME] = {};
    char previousDisk_[CB_MAX_DISK_NAME] = {};
    CallerVector<FolderPart> parts_;
    CallerVector<FileRecord> files_;
    std::uint64_t filesBytes_ = 0;
    std::uint64_t partsBytes_ = 0;
    ULONG nextEstimate_ = 0;

    OpenFolder open_;
    CallerVector<unsigned char> record_;
    CallerVector<unsigned char> copy_;
    // Records on their way to the open folder's temporary file, written a whole chunk at a time: one
    // write per record would cost a call each, and the file system would clear the rest of every page
    // a small write starts before the next write fills it.
    CallerVector<unsigned char> tempChunk_;
    std::size_t tempChunked_ = 0;
    BlockPipeline pipeline_;  // last, so that its workers stop before anything else goes
};

}  // namespace pw::fci
