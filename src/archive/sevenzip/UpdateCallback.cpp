#include "archive/sevenzip/UpdateCallback.h"

#include "archive/sevenzip/SevenZipLibrary.h"
#include "archive/sevenzip/StreamReader.h"
#include "platform/SourceDateEpoch.h"

namespace pw {
namespace {

enum ItemProperty : PROPID {
    kpidPath = 3,
    kpidIsDir = 6,
    kpidSize = 7,
    kpidAttrib = 9,
    kpidCTime = 10,
    kpidATime = 11,
    kpidMTime = 12,
    kpidIsAnti = 21,
};

constexpr std::uint32_t kNotifyAnalyze = 2;

FILETIME ToFileTime(std::uint64_t ticks)
{
    return {std::uint32_t(ticks), std::uint32_t(ticks >> 32)};
}

}  // namespace

TMyArchiveUpdateCallback::TMyArchiveUpdateCallback(UpdateCallbackOwner& owner, const SevenZipLibrary& library,
                                                   std::vector<GatheredItem> items, QString rootPrefix,
                                                   QString password, AddOpts options)
    : owner_(owner),
      library_(library),
      items_(std::move(items)),
      rootPrefix_(std::move(rootPrefix)),
      password_(std::move(password)),
      options_(options),
      renames_(owner.RenamesItems())
{
}

void TMyArchiveUpdateCallback::Attach(CallerThreadRelay* relay)
{
    std::lock_guard lock(mutex_);
    relay_ = relay;
}

void TMyArchiveUpdateCallback::Report(ReportedEvent event)
{
    if (!relay_)
        return;
    reported_.push_back(std::move(event));
    if (raiseHandedOver_)
        return;
    raiseHandedOver_ = true;
    relay_->Post([this] { RaiseReported(); });
}

void TMyArchiveUpdateCallback::RaiseReported()
{
    // Left over only when a handler threw during the last batch; the relay then drops the rest anyway.
    raising_.clear();
    {
        std::lock_guard lock(mutex_);
        // The buffers trade places, so that neither thread allocates once both have grown.
        raising_.swap(reported_);
        raiseHandedOver_ = false;
    }
    for (const ReportedEvent& event : raising_)
        Raise(event);
    raising_.clear();
}

void TMyArchiveUpdateCallback::Raise(const ReportedEvent& event)
{
    switch (event.kind) {
    case ReportedEvent::AddFile:
        owner_.FileAdded(event.name, event.archivePos);
        break;
    case ReportedEvent::Progress:
        owner_.Progressed(event.name, event.archivePos, event.filePos);
        break;
    case ReportedEvent::Cancelled:
        owner_.Cancelled(event.name);
        break;
    }
}

HRESULT TMyArchiveUpdateCallback::QueryInterface(const GUID& iid, void** out) noexcept
{
    if (iid == IID_IUnknown || iid == IID_IProgress || iid == IID_IArchiveUpdateCallback)
        *out = static_cast<IArchiveUpdateCallback*>(this);
    else if (iid == IID_IArchiveUpdateCallbackFile)
        *out = static_cast<IArchiveUpdateCallbackFile*>(this);
    else if (iid == IID_ICryptoGetTextPassword2)
        *out = static_cast<ICryptoGetTextPassword2*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT TMyArchiveUpdateCallback::SetTotal(std::uint64_t) noexcept
{
    return S_OK;
}

HRESULT TMyArchiveUpdateCallback::SetCompleted(const std::uint64_t* completeValue) noexcept
{
    std::lock_guard lock(mutex_);
    if (completeValue) {
        if (currentPos_ == 0)
            Report({ReportedEvent::AddFile, currentName_, currentSize_});
        currentPos_ += qint64(*completeValue - lastCompleted_);
        lastCompleted_ = *completeValue;
        Report({ReportedEvent::Progress, currentName_, qint64(*completeValue), currentPos_});
    }
    if (!owner_.StopRequested())
        return S_OK;
    Report({ReportedEvent::Cancelled, currentName_});
    return S_FALSE;
}

HRESULT TMyArchiveUpdateCallback::GetUpdateItemInfo(std::uint32_t, std::int32_t* newData,
                                                    std::int32_t* newProperties,
                                                    std::uint32_t* indexInArchive) noexcept
{
    if (newData)
        *newData = 1;
    if (newProperties)
        *newProperties = 1;
    if (indexInArchive)
        *indexInArchive = 0xFFFFFFFF;
    return S_OK;
}

QString TMyArchiveUpdateCallback::StoredName(std::uint32_t index)
{
    RootRelativeName relative = StripRootPrefix(items_[index].name, rootPrefix_);
    QString& name = relative.name;
    if (renames_) {
        CallerThreadRelay* relay;
        {
            std::lock_guard lock(mutex_);
            relay = relay_;
        }
        // The handler's answer is needed here, so this waits until the calling thread has run it.
        if (relay)
            relay->Call([this, index, &name] { owner_.RenameItem(index, name); });
    }
    return FinishStoredName(std::move(relative), options_);
}

HRESULT TMyArchiveUpdateCallback::GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) noexcept
{
    if (index >= items_.size())
        return E_INVALIDARG;
    const FileInformation& info = items_[index].info;
    switch (propId) {
    case kpidPath:
        value->vt = VT_BSTR;
        value->bstrVal = library_.AllocString(StoredName(index));
        break;
    case kpidIsDir:
        value->vt = VT_BOOL;
        value->boolVal = info.isDirectory() ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case kpidSize:
        value->vt = VT_UI8;
        value->uhVal = std::uint64_t(info.size);
        break;
    case kpidAttrib:
        value->vt = VT_UI4;
        value->ulVal = info.attributes;
        break;
    case kpidCTime:
    case kpidATime:
        value->vt = VT_FILETIME;
        value->filetime = ToFileTime(0);
        break;
    case kpidMTime:
        value->vt = VT_FILETIME;
        value->filetime = ToFileTime(RecordedFileTime(info.lastWriteTime));
        break;
    case kpidIsAnti:
        value->vt = VT_BOOL;
        value->boolVal = VARIANT_FALSE;
        break;
    default:
        return S_FALSE;
    }
    return S_OK;
}

ISequentialInStream* TMyArchiveUpdateCallback::OpenItem(std::uint32_t index)
{
    // The reader may outlive this callback inside the library; the writer outlives both.
    UpdateCallbackOwner* owner = &owner_;
    auto* reader = new TMyStreamReader(items_[index].name, [owner](const QString& file, qint32 error) {
        owner->FileUnread(file, error);
    });
    reader->AddRef();
    return static_cast<IInStream*>(reader);
}

HRESULT TMyArchiveUpdateCallback::GetStream(std::uint32_t index, ISequentialInStream** inStream) noexcept
{
    if (index >= items_.size())
        return E_INVALIDARG;
    {
        std::lock_guard lock(mutex_);
        currentName_ = items_[index].name;
        currentSize_ = items_[index].info.size;
        currentPos_ = 0;
    }
    *inStream = OpenItem(index);
    return S_OK;
}

HRESULT TMyArchiveUpdateCallback::GetStream2(std::uint32_t index, ISequentialInStream** inStream,
                                             std::uint32_t notifyOp) noexcept
{
    // A look at the first bytes is no progress on the item: only the library's main read counts.
    if (notifyOp != kNotifyAnalyze)
        return GetStream(index, inStream);
    if (index >= items_.size())
        return E_INVALIDARG;
    *inStream = OpenItem(index);
    return S_OK;
}

HRESULT TMyArchiveUpdateCallback::ReportOperation(std::uint32_t, std::uint32_t, std::uint32_t) noexcept
{
    return S_OK;
}

HRESULT TMyArchiveUpdateCallback::SetOperationResult(std::int32_t) noexcept
{
    return S_OK;
}

HRESULT TMyArchiveUpdateCallback::CryptoGetTextPassword2(std::int32_t* passwordIsDefined, BSTR* password) noexcept
{
    if (password_.isEmpty()) {
        *passwordIsDefined = 0;
        return S_OK;
    }
    *passwordIsDefined = -1;
    *password = library_.AllocString(password_);
    return S_OK;
}

}  // namespace pw
