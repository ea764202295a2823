#pragma once
// Answers the library's questions about each item while it writes an archive, and turns its progress
// reports into the writer's events. The library calls it from several threads; the events are handed to
// the thread that called Add.
#include "archive/sevenzip/CallerThreadRelay.h"
#include "archive/sevenzip/ComObject.h"
#include "archive/sevenzip/ItemGathering.h"

#include <mutex>
#include <vector>

namespace pw {

class SevenZipLibrary;
class TSevenZip;

class TMyArchiveUpdateCallback final : public IArchiveUpdateCallback,
                                       public IArchiveUpdateCallbackFile,
                                       public ICryptoGetTextPassword2,
                                       private RefCounted<TMyArchiveUpdateCallback> {
public:
    TMyArchiveUpdateCallback(TSevenZip& owner, const SevenZipLibrary& library, std::vector<GatheredItem> items,
                             QString rootPrefix);

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

    QString StoredName(std::uint32_t index);
    ISequentialInStream* OpenItem(std::uint32_t index);
    void Post(CallerThreadRelay::Task task);

    TSevenZip& owner_;
    const SevenZipLibrary& library_;
    const std::vector<GatheredItem> items_;
    const QString rootPrefix_;
    const QString password_;
    const AddOpts options_;
    const bool renames_;  // an OnSetAddName handler was assigned when Add started

    std::mutex mutex_;  // guards what follows; events are handed over under it, so they keep their order
    CallerThreadRelay* relay_ = nullptr;
    QString currentName_;
    qint64 currentSize_ = 0;
    qint64 currentPos_ = 0;
    std::uint64_t lastCompleted_ = 0;
};

}  // namespace pw
