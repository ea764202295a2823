#pragma once
// TSevenZip, the component that writes .7z archives through the 7-Zip library. It gathers the items
// itself (paths, wildcard entries, recursion, names relative to a root folder), sends the compression
// settings and lets the library write the archive, raising its events as the library reports progress.
//
// Add runs the library on a helper thread and stays in a loop on the calling thread until the archive is
// written: every event reaches its handler there, in order, and OnWaiting is raised at a steady pace so
// that a window can repaint and take the user's request to stop, which sets CancelRequested.
#include "archive/sevenzip/ComObject.h"
#include "archive/sevenzip/CompressionProperties.h"
#include "archive/sevenzip/SevenZipLibrary.h"
#include "archive/sevenzip/SevenZipTypes.h"
#include "archive/sevenzip/UpdateCallbackOwner.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace pw {

class TSevenZip : public UpdateCallbackOwner {
public:
    // Binds the library; throws UserError with SevenZipLibrary::LoadFailureMessage() when it cannot.
    explicit TSevenZip(const QStringList& libraryPlaces = SevenZipLibrary::DefaultPlaces());
    ~TSevenZip();
    TSevenZip(const TSevenZip&) = delete;
    TSevenZip& operator=(const TSevenZip&) = delete;

    // Writes SZFileName from FileList. Returns 0 on success, the library's own failure code, or -1 when
    // nothing was gathered. Throws SilentAbort when the archive file cannot be created, UserError when
    // the walk of a folder meets what it cannot pack (see FolderWalk), and whatever OnGathered throws.
    qint32 Add();

    QString AddRootDir;  // upper-cased by Add
    // True only when SFXModule existed and was not empty when it was set.
    bool SFXCreate() const { return sfxCreate_; }
    void SetSFXCreate(bool value);
    QString SFXModule = QStringLiteral("7z.sfx");
    AddOpts AddOptions;
    ExtractOpts ExtractOptions;
    QString ExtrBaseDir;
    TCompressType LZMACompressType = LZMA;
    TCompressStrength LZMACompressStrength = SAVE;
    TLZMAStrength LZMAStrength = 0;
    TPPMDMem LPPMDmem = 0;
    TPPMDSize LPPMDsize = 0;
    QString SZFileName;
    qint32 NumberOfFiles = -1;
    // Bytes per volume, 0 = one file; kept above the stub's size when writing a self-extracting archive.
    qint32 VolumeSize() const { return volumeSize_; }
    void SetVolumeSize(qint32 value);
    QString Password;

    T7zListfileEvent OnListfile;
    T7zAddFileEvent OnAddfile;
    T7zExtractfileEvent OnExtractfile;
    T7zProgressEvent OnProgress;
    T7zPreProgressEvent OnPreProgress;
    T7zMessageEvent OnMessage;
    T7zSetNewNameEvent OnSetAddName;
    T7zSetNewNameEvent OnSetExtractName;
    T7zExtractOverwrite OnExtractOverwrite;
    TOpenVolume OnOpenVolume;
    T7zWaitingEvent OnWaiting;
    T7zGatheredEvent OnGathered;

    TWideStringList FileList;
    qint32 ErrCode = 0;                  // code of the last message raised
    std::atomic<qint32> LastError{0};    // errno of the last failed file operation
    QStringList VolumeNames;             // files written by the last Add
    qint64 SFXModuleSize = 0;
    // May be set from any thread, or by a handler; Add clears it when it starts and when it ends.
    std::atomic<bool> CancelRequested{false};

    // The first file the library could not read during the last Add, and the system's error for it; an
    // empty path when every file was read.
    struct UnreadFile {
        QString path;
        qint32 error = 0;
    };
    UnreadFile FirstUnreadFile() const;

    // Text of each message code, as OnMessage passes it.
    static QByteArray MessageText(qint32 code);

    // The settings that decide the compression properties sent to the library.
    CompressionSettings Compression() const;

private:
    void FileAdded(const QString& name, qint64 size) override;
    void Progressed(const QString& name, qint64 archivePos, qint64 filePos) override;
    void Cancelled(const QString& name) override;
    void RenameItem(std::uint32_t index, QString& name) override;
    bool RenamesItems() const override { return bool(OnSetAddName); }
    bool StopRequested() const override { return CancelRequested; }
    void FileUnread(const QString& path, qint32 error) override;

    void RaiseMessage(T7zMessageCode code, const QString& fileName);
    void SendCompressionProperties();
    qint32 Pack();

    std::unique_ptr<SevenZipLibrary> library_;
    ComPtr<IUnknown> inArchive_;
    ComPtr<IOutArchive> outArchive_;
    ComPtr<ISetProperties> setProperties_;
    mutable std::mutex unreadMutex_;
    UnreadFile unread_;
    bool sfxCreate_ = false;
    qint32 volumeSize_ = 0;
};

}  // namespace pw
