#pragma once
// Writes cabinet files through the Cabinet API: fills its CCAB record from the properties, names the
// further cabinets of a set, keeps file-count limits per cabinet and per folder, adds folder trees under
// a prefix, and turns the API's notifications into events.
//
// Every cabinet of a set is written under a hidden name beside its own (".NAME.partial") and takes its
// own name only when the whole set is finished, so a set that fails or is dropped leaves nothing behind
// and an earlier file of the same name stays as it was; the names inside the cabinets are the real ones.
#include "platform/Pacer.h"
#include "platform/cabinet/Fci.h"

#include <QList>
#include <QString>

#include <functional>

namespace pw {

using TCCAB = CCAB;

enum class TSTCabCompressionType { cctNone, cctMsZip, cctLzx };

class TSTCabWriter {
public:
    TSTCabWriter();
    ~TSTCabWriter();
    TSTCabWriter(const TSTCabWriter&) = delete;
    TSTCabWriter& operator=(const TSTCabWriter&) = delete;

    // 0 means no limit for each of the four thresholds.
    quint32 CabinetSizeThreshold = 0;
    quint32 CabinetFileCountThreshold = 0;
    quint32 FolderSizeThreshold = 0;
    quint32 FolderFileCountThreshold = 0;
    quint32 ReservePerCabinetSize = 0;
    quint32 ReservePerFolderSize = 0;
    quint32 ReservePerDataSize = 0;
    quint16 SetID = 0;
    // Every "*" becomes the cabinet number (name) or the disk number (path, label).
    QString CabinetNameTemplate;
    QString CabinetPathTemplate;
    QString DiskLabelTemplate;
    // Where the Cabinet API keeps its temporary files while it writes; the system's folder for temporary
    // files when empty.
    QString TemporaryFolder;

    TSTCabCompressionType CompressionType() const { return compressionType_; }
    void SetCompressionType(TSTCabCompressionType type);
    int CompressionLzxLevel() const { return lzxLevel_; }
    void SetCompressionLzxLevel(int level);  // 15 to 21
    // The code handed to the Cabinet API for the files added next.
    TCOMP CompressionCode() const { return compressionCode_; }

    // Events; an abort flag set by a handler stops the Cabinet API call that is running.
    std::function<void(TSTCabWriter&, const TCCAB&, const QString& fileName, qint32 fileSize, bool continuation,
                       bool& abort)>
        OnFilePlaced;
    std::function<void(TSTCabWriter&, TCCAB&, quint32 prevCabSize, bool& abort)> OnGetNextCabinet;
    std::function<void(TSTCabWriter&, quint32 compressedBlockSize, quint32 uncompressedBlockSize, bool& abort)>
        OnFileStatus;
    std::function<void(TSTCabWriter&, quint32 copiedSize, quint32 totalSize, bool& abort)> OnFolderStatus;
    std::function<void(TSTCabWriter&, quint32 prevEstimatedSize, quint32 actualSize, quint32& desiredSize,
                       bool& abort)>
        OnCabinetStatus;
    std::function<void(TSTCabWriter&, bool& abort)> OnProgress;
    std::function<void(TSTCabWriter&, const QString& fileName, bool& skip)> OnBeforeFileAdd;
    // Not among the stored events: raised at a steady pace (between data blocks, while a cabinet is
    // copied together, between the files of a folder) so that a window can repaint and stop the writer:
    // at once, then at most once a kWaitInterval.
    std::function<void(TSTCabWriter&, bool& abort)> OnWaiting;
    static constexpr std::chrono::milliseconds kWaitInterval{50};

    // Discards any open cabinet and starts a set whose first cabinet is `fileName`; creates its folder.
    void OpenCabinet(const QString& fileName);
    // `name` is the name inside the cabinet, "\" between its folders.
    void AddFile(const QString& source, const QString& name, bool execute);
    // Every file matching the mask that ends `mask`, under `prefix` plus its path below the mask's folder;
    // a folder's files before its sub-folders. The walk's rules (FolderWalk) apply.
    void AddFiles(const QString& mask, const QString& prefix, bool recursive);
    void FlushCabinet();
    void FlushFolder();
    // With `flush` the last cabinet is finished and every cabinet of the set takes its name; without it
    // the set is dropped.
    void CloseCabinet(bool flush);

    QString CabinetFileNameFor(int cabinet) const;
    QString CabinetPathFor(int disk) const;  // ends in "/"
    QString CabinetDiskLabel(int disk) const;

private:
    static int FilePlaced(PCCAB pccab, char* pszFile, LONG cbFile, BOOL fContinuation, void* pv);
    static BOOL NextCabinet(PCCAB pccab, ULONG cbPrevCab, void* pv);
    static LONG Status(UINT typeStatus, ULONG cb1, ULONG cb2, void* pv);
    static INT_PTR OpenFile(char* pszFile, int oflag, int pmode, int* err, void* pv);
    static int DeleteFile(char* pszFile, int* err, void* pv);
    static BOOL TempFile(char* pszTempName, int cbTempName, void* pv);

    [[noreturn]] void RaiseError() const;
    HFCI RequireContext() const;
    bool Wait();  // false when the OnWaiting handler asked to stop
    // A cabinet of the set, about to be written: its folder made, an old partial file of it gone.
    void BeginCabinetFile(const CCAB& ccab);
    QByteArray WrittenName(const char* path) const;
    void GiveSetItsNames();
    void DropSet();

    struct SetFile {
        QByteArray name;     // as the Cabinet API names it, folder and file name
        QByteArray partial;  // where it is written
    };
    QList<SetFile> set_;
    Pacer waitPacer_{kWaitInterval};

    TSTCabCompressionType compressionType_ = TSTCabCompressionType::cctLzx;
    int lzxLevel_ = 21;
    TCOMP compressionCode_ = 0;
    HFCI context_ = nullptr;
    QString cabinetFile_;
    ERF erf_{};
    CCAB ccab_{};
    quint32 filesInCabinet_ = 0;
    quint32 filesInFolder_ = 0;
    int progressCountdown_ = 0;
};

}  // namespace pw
