#include "archive/sevenzip/SevenZip.h"

#include "archive/sevenzip/CallerThreadRelay.h"
#include "archive/sevenzip/ItemGathering.h"
#include "archive/sevenzip/StreamWriter.h"
#include "archive/sevenzip/UpdateCallback.h"
#include "platform/Errors.h"
#include "platform/SourceDateEpoch.h"

#include <QFile>

#include <string>

namespace pw {
namespace {

constexpr std::chrono::milliseconds kWaitingInterval{50};

template <class Interface>
ComPtr<Interface> CreateArchiveObject(const SevenZipLibrary& library, const GUID& iid)
{
    void* object = nullptr;
    library.CreateObject(CLSID_Format7z, iid, &object);
    return ComPtr<Interface>::Adopt(static_cast<Interface*>(object));
}

// Everything from the last "." of the file-name part is replaced; a name without one gets ".exe" added.
QString WithExeExtension(const QString& path)
{
    const qsizetype nameStart =
        std::max({path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char(':'))}) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return (dot >= nameStart ? path.left(dot) : path) + QStringLiteral(".exe");
}

// Clears the cancel flag when Add ends, on every path.
class CancelScope {
public:
    explicit CancelScope(std::atomic<bool>& flag) : flag_(flag) { flag_ = false; }
    ~CancelScope() { flag_ = false; }
    CancelScope(const CancelScope&) = delete;
    CancelScope& operator=(const CancelScope&) = delete;

private:
    std::atomic<bool>& flag_;
};

}  // namespace

TSevenZip::TSevenZip(const QStringList& libraryPlaces)
    : library_(std::make_unique<SevenZipLibrary>(libraryPlaces)),
      inArchive_(CreateArchiveObject<IUnknown>(*library_, IID_IInArchive)),
      outArchive_(CreateArchiveObject<IOutArchive>(*library_, IID_IOutArchive)),
      setProperties_(CreateArchiveObject<ISetProperties>(*library_, IID_ISetProperties))
{
    // A library that cannot make the archive object is as unusable as a missing one.
    if (!outArchive_)
        throw UserError(SevenZipLibrary::LoadFailureMessage());
}

TSevenZip::~TSevenZip()
{
    // The library's objects go before the library itself is unloaded.
    VolumeNames.clear();
    setProperties_.Reset();
    outArchive_.Reset();
    inArchive_.Reset();
    library_.reset();
}

QByteArray TSevenZip::MessageText(qint32 code)
{
    static const char* const texts[] = {"Success",
                                        "File not found",
                                        "Data Error",
                                        "CRC Error",
                                        "Unsupported Method",
                                        "Index out of Range",
                                        "User canceled operation",
                                        "File is not an 7z SFX archive",
                                        "SFXModule error ( Not found )",
                                        "Could not create SFX",
                                        "No files to add",
                                        "Could not create file"};
    static_assert(std::size(texts) == k7zCouldNotCreateFile + 1, "a text for each code");
    return code >= 0 && code < qint32(std::size(texts)) ? QByteArray(texts[code]) : QByteArray();
}

void TSevenZip::RaiseMessage(T7zMessageCode code, const QString& fileName)
{
    ErrCode = code;
    if (OnMessage)
        OnMessage(this, code, MessageText(code), fileName);
}

void TSevenZip::FileUnread(const QString& path, qint32 error)
{
    LastError = error;
    std::lock_guard lock(unreadMutex_);
    if (unread_.path.isEmpty())
        unread_ = {path, error};
}

void TSevenZip::FileAdded(const QString& name, qint64 size)
{
    if (OnAddfile)
        OnAddfile(this, name, size);
}

void TSevenZip::Progressed(const QString& name, qint64 archivePos, qint64 filePos)
{
    if (OnProgress)
        OnProgress(this, name, archivePos, filePos);
}

void TSevenZip::Cancelled(const QString& name)
{
    RaiseMessage(k7zUserCanceled, name);
}

void TSevenZip::RenameItem(std::uint32_t index, QString& name)
{
    OnSetAddName(this, index, name);
}

CompressionSettings TSevenZip::Compression() const
{
    return {LZMACompressType, LZMACompressStrength, LZMAStrength, LPPMDmem, LPPMDsize, AddOptions, !Password.isEmpty()};
}

TSevenZip::UnreadFile TSevenZip::FirstUnreadFile() const
{
    std::lock_guard lock(unreadMutex_);
    return unread_;
}

void TSevenZip::SetSFXCreate(bool value)
{
    sfxCreate_ = false;
    if (!value)
        return;
    QFile module(SFXModule);
    const qint64 size = module.open(QIODevice::ReadOnly) ? (module.size() & 0xFFFFFFFF) : 0;
    if (size == 0)
        return;
    if (volumeSize_ > 0 && volumeSize_ < size + 7)
        volumeSize_ = qint32(size + 7);
    SFXModuleSize = size;
    sfxCreate_ = true;
}

void TSevenZip::SetVolumeSize(qint32 value)
{
    volumeSize_ = sfxCreate_ && value > 0 && value < SFXModuleSize ? qint32(SFXModuleSize + 7) : value;
}

void TSevenZip::SendCompressionProperties()
{
    void* object = nullptr;
    if (outArchive_->QueryInterface(IID_ISetProperties, &object) != S_OK || !object)
        return;
    const auto setter = ComPtr<ISetProperties>::Adopt(static_cast<ISetProperties*>(object));
    const std::vector<CompressionProperty> properties = CompressionProperties(Compression());
    std::vector<std::wstring> names;
    std::vector<const wchar_t*> namePointers;
    std::vector<PROPVARIANT> values(properties.size(), PROPVARIANT{});
    for (size_t i = 0; i < properties.size(); ++i) {
        names.push_back(SevenZipLibrary::WideText(properties[i].name));
        if (const auto* number = std::get_if<std::uint32_t>(&properties[i].value)) {
            values[i].vt = VT_UI4;
            values[i].ulVal = *number;
        } else {
            values[i].vt = VT_BSTR;
            values[i].bstrVal = library_->AllocString(std::get<QString>(properties[i].value));
        }
    }
    for (const std::wstring& name : names)
        namePointers.push_back(name.c_str());
    setter->SetProperties(namePointers.data(), values.data(), std::uint32_t(values.size()));
    for (const PROPVARIANT& value : values)
        if (value.vt == VT_BSTR)
            library_->FreeString(value.bstrVal);
}

qint32 TSevenZip::Add()
{
    CancelScope cancelScope(CancelRequested);
    return Pack();
}

qint32 TSevenZip::Pack()
{
    {
        std::lock_guard lock(unreadMutex_);
        unread_ = {};
    }
    AddRootDir = UpperCaseKeepingLength(AddRootDir);
    QString rootPrefix = AddRootDir;
    if (!rootPrefix.isEmpty() && !rootPrefix.endsWith(QLatin1Char('/')) && !rootPrefix.endsWith(QLatin1Char('\\')))
        rootPrefix += QLatin1Char('/');
    const auto waiting = [this] {
        if (OnWaiting)
            OnWaiting(this);
    };

    std::vector<GatheredItem> items =
        GatherItems(FileList.Items(), {AddRootDir, AddOptions, [this] { return CancelRequested.load(); }, waiting});
    if (CancelRequested) {
        RaiseMessage(k7zUserCanceled, QString());
        return E_ABORT;
    }
    if (OnGathered)
        OnGathered(this, items);
    qint64 total = 0;
    for (const GatheredItem& item : items)
        total += item.info.size;
    if (OnPreProgress)
        OnPreProgress(this, total);
    const ComPtr<TMyArchiveUpdateCallback> callback(
        new TMyArchiveUpdateCallback(*this, *library_, std::move(items), rootPrefix, Password, AddOptions));

    bool appendToStub = false;
    if (sfxCreate_ && QueryFileInformation(SFXModule)) {
        SZFileName = WithExeExtension(SZFileName);
        if (const int error = CopyFileNoReplace(SFXModule, SZFileName)) {
            LastError = error;
            RaiseMessage(k7zCouldNotCreateSfx, SZFileName);
            return E_FAIL;
        }
        appendToStub = true;
    }
    const ComPtr<TMyStreamWriter> writer = TMyStreamWriter::Open(
        {SZFileName, QDateTime::fromSecsSinceEpoch(BuildSeconds()), kAttributeArchive, std::uint32_t(volumeSize_), appendToStub, &LastError});
    SendCompressionProperties();

    qint32 result = -1;
    const std::uint32_t count = std::uint32_t(callback->Items().size());
    if (count == 0) {
        RaiseMessage(k7zNoFilesToAdd, QString());
    } else {
        CallerThreadRelay relay(waiting, kWaitingInterval, [this] { CancelRequested = true; });
        callback->Attach(&relay);
        try {
            result = relay.Run([&] { return outArchive_->UpdateItems(writer.get(), count, callback.get()); });
        } catch (...) {
            callback->Attach(nullptr);
            throw;
        }
        callback->Attach(nullptr);
    }
    VolumeNames = writer->FileNames();
    return result;
}

}  // namespace pw
