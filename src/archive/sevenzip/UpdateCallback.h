#pragma once
// Answers the library's questions about each item while it writes an archive, and turns its progress
// reports into the writer's events. The library calls it from several threads; the events are handed to
// the thread that called Add.
//
// The library reports progress three times or more per file and every 64 to 128 KiB of a big one: tens
// of thousands of reports for a folder of 12,000 files. Each report is kept as a plain record in a
// buffer that is reused, and the calling thread is handed one task per batch, which raises every event of
// the batch in order. A task per report would cost the reporting thread a heap block and a queue entry
// that the calling thread frees, so the two threads would keep taking each other's allocator and queue
// locks.
#include "archive/sevenzip/CallerThreadRelay.h"
#include "archive/sevenzip/ComObject.h"
#include "archive/sevenzip/ItemGathering.h"
#include "archive/sevenzip/UpdateCallbackOwner.h"

#include <mutex>
#include <vector>

namespace pw {

class SevenZipLibrary;

class TMyArchiveUpdateCallback final : public IArchiveUpdateCallback,
                                       public IArchiveUpdateCallbackFile,
                                       public ICryptoGetTextPassword2,
                                       private RefCounted<TMyArchiveUpdateCallback> {
public:
    TMyArchiveUpdateCallback(UpdateCallbackOwner& owner, const SevenZipLibrary& library,
                             std::vector<GatheredItem> items, QString rootPrefix, QString password, AddOpts options);

    const std::vector<GatheredItem>& Items() const { return items_; }

    // Events go through `relay` while it is attached; Add detaches it before the relay goes away.
    void Attach(CallerThreadRelay* relay);

    HRESULT QueryInterface(const GUID& iid, void** out) noexcept override;
    ULONG AddRef() noexcept override { return AddReference(); }
    ULONG Release() noexcept override { return DropReference(); }

    HRESULT SetTotal(std::uint64_t total) noexcept override;
    HRESULT SetCompleted(const std::uint64_t* completeValue) noexcept override;
    HRESULT GetUpdateItemInfo(std::uint32_t index, std::int32_t* newData, std::int32_t* newProperties,
                              std::uint32_t* indexInArchive) noexcept override;
    HRESULT GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) noexcept override;
    HRESULT GetStream(std::uint32_t index, ISequentialInStream** inStream) noexcept override;
    HRESULT SetOperationResult(std::int32_t operationResult) noexcept override;

    HRESULT GetStream2(std::uint32_t index, ISequentialInStream** inStream, std::uint32_t notifyOp) noexcept override;
    HRESULT ReportOperation(std::uint32_t indexType, std::uint32_t index, std::uint32_t notifyOp) noexcept override;

    HRESULT CryptoGetTextPassword2(std::int32_t* passwordIsDefined, BSTR* password) noexcept override;

private:
    friend class RefCounted<TMyArchiveUpdateCallback>;
    ~TMyArchiveUpdateCallback() = default;

    // An event the library's threads report, raised later on the calling thread.
    struct ReportedEvent {
        enum Kind : std::uint8_t { AddFile, Progress, Cancelled };
        Kind kind;
        QString name;
        qint64 archivePos = 0;  // AddFile: the file's size
        qint64 filePos = 0;
    };

    QString StoredName(std::uint32_t index);
    ISequentialInStream* OpenItem(std::uint32_t index);
    // With mutex_ held: keeps `event` and asks the calling thread to raise the batch, unless it was asked already.
    void Report(ReportedEvent event);
    // On the calling thread: raises every event reported so far, in order.
    void RaiseReported();
    void Raise(const ReportedEvent& event);

    UpdateCallbackOwner& owner_;
    const SevenZipLibrary& library_;
    const std::vector<GatheredItem> items_;
    const QString rootPrefix_;
    const QString password_;
    const AddOpts options_;
    const bool renames_;  // the owner renamed items when Add started

    std::mutex mutex_;  // guards what follows; events are handed over under it, so they keep their order
    CallerThreadRelay* relay_ = nullptr;
    QString currentName_;
    qint64 currentSize_ = 0;
    qint64 currentPos_ = 0;
    std::uint64_t lastCompleted_ = 0;
    std::vector<ReportedEvent> reported_;
    bool raiseHandedOver_ = false;  // a task that raises reported_ waits on the calling thread

    std::vector<ReportedEvent> raising_;  // the batch being raised; the calling thread's own
};

}  // namespace pw
