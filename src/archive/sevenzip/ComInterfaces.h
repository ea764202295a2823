#pragma once
// The binary interface of the 7-Zip library as it is built for this host: COM-style objects whose
// methods follow 7-Zip's published declarations slot by slot. The base interface has no virtual
// destructor in this build of the library, so none may be declared here: it would shift every slot.
// wchar_t is 4 bytes on this host, so every string that crosses the interface is UTF-32.
#include <cstdint>
#include <cstring>

namespace pw {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using PROPID = std::uint32_t;
using VARTYPE = std::uint16_t;
using BSTR = wchar_t*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
// What Windows answers for a seek to before the start of a file.
constexpr HRESULT E_NEGATIVE_SEEK = static_cast<HRESULT>(0x80070083u);

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};

inline bool operator==(const GUID& a, const GUID& b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

// 7-Zip's ids all read 23170F69-40C1-278A-....; interfaces differ in their group and sub id.
constexpr GUID SevenZipInterfaceId(std::uint8_t group, std::uint8_t sub)
{
    return {0x23170F69, 0x40C1, 0x278A, {0, 0, 0, group, 0, sub, 0, 0}};
}

constexpr GUID CLSID_Format7z{0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, 0x07, 0x00, 0x00}};
constexpr GUID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID IID_IProgress = SevenZipInterfaceId(0x00, 0x05);
constexpr GUID IID_ISequentialInStream = SevenZipInterfaceId(0x03, 0x01);
constexpr GUID IID_ISequentialOutStream = SevenZipInterfaceId(0x03, 0x02);
constexpr GUID IID_IInStream = SevenZipInterfaceId(0x03, 0x03);
constexpr GUID IID_IOutStream = SevenZipInterfaceId(0x03, 0x04);
constexpr GUID IID_IStreamGetSize = SevenZipInterfaceId(0x03, 0x06);
constexpr GUID IID_ICryptoGetTextPassword2 = SevenZipInterfaceId(0x05, 0x11);
constexpr GUID IID_ISetProperties = SevenZipInterfaceId(0x06, 0x03);
constexpr GUID IID_IInArchive = SevenZipInterfaceId(0x06, 0x60);
constexpr GUID IID_IArchiveUpdateCallback = SevenZipInterfaceId(0x06, 0x80);
constexpr GUID IID_IArchiveUpdateCallbackFile = SevenZipInterfaceId(0x06, 0x83);
constexpr GUID IID_IOutArchive = SevenZipInterfaceId(0x06, 0xA0);

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_BOOL = 11;
constexpr VARTYPE VT_UI4 = 19;
constexpr VARTYPE VT_UI8 = 21;
constexpr VARTYPE VT_FILETIME = 64;
constexpr std::int16_t VARIANT_TRUE = -1;
constexpr std::int16_t VARIANT_FALSE = 0;

struct FILETIME {
    std::uint32_t dwLowDateTime;
    std::uint32_t dwHighDateTime;
};

struct PROPVARIANT {
    VARTYPE vt;
    std::uint16_t wReserved1, wReserved2, wReserved3;
    union {
        std::uint32_t ulVal;
        std::uint64_t uhVal;
        std::int16_t boolVal;
        FILETIME filetime;
        BSTR bstrVal;
    };
};
static_assert(sizeof(PROPVARIANT) == 16, "the library expects the 16-byte PROPVARIANT");

// Methods of the library's interfaces never throw; implementations below must not either.
struct IUnknown {
    virtual HRESULT QueryInterface(const GUID& iid, void** out) noexcept = 0;
    virtual ULONG AddRef() noexcept = 0;
    virtual ULONG Release() noexcept = 0;
};

struct ISequentialInStream : IUnknown {
    virtual HRESULT Read(void* data, std::uint32_t size, std::uint32_t* processedSize) noexcept = 0;
};

struct IInStream : ISequentialInStream {
    virtual HRESULT Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) noexcept = 0;
};

struct IStreamGetSize : IUnknown {
    virtual HRESULT GetSize(std::uint64_t* size) noexcept = 0;
};

struct ISequentialOutStream : IUnknown {
    virtual HRESULT Write(const void* data, std::uint32_t size, std::uint32_t* processedSize) noexcept = 0;
};

struct IOutStream : ISequentialOutStream {
    virtual HRESULT Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) noexcept = 0;
    virtual HRESULT SetSize(std::uint64_t newSize) noexcept = 0;
};

struct IProgress : IUnknown {
    virtual HRESULT SetTotal(std::uint64_t total) noexcept = 0;
    virtual HRESULT SetCompleted(const std::uint64_t* completeValue) noexcept = 0;
};

struct IArchiveUpdateCallback : IProgress {
    virtual HRESULT GetUpdateItemInfo(std::uint32_t index, std::int32_t* newData, std::int32_t* newProperties,
                                      std::uint32_t* indexInArchive) noexcept = 0;
    virtual HRESULT GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) noexcept = 0;
    virtual HRESULT GetStream(std::uint32_t index, ISequentialInStream** inStream) noexcept = 0;
    virtual HRESULT SetOperationResult(std::int32_t operationResult) noexcept = 0;
};

// Lets the library open a file a second time to look at its first bytes, which is how it recognises
// executables and chooses the filter that compresses them well.
struct IArchiveUpdateCallbackFile : IUnknown {
    virtual HRESULT GetStream2(std::uint32_t index, ISequentialInStream** inStream, std::uint32_t notifyOp) noexcept = 0;
    virtual HRESULT ReportOperation(std::uint32_t indexType, std::uint32_t index, std::uint32_t notifyOp) noexcept = 0;
};

struct ICryptoGetTextPassword2 : IUnknown {
    virtual HRESULT CryptoGetTextPassword2(std::int32_t* passwordIsDefined, BSTR* password) noexcept = 0;
};

struct ISetProperties : IUnknown {
    virtual HRESULT SetProperties(const wchar_t* const* names, const PROPVARIANT* values,
                                  std::uint32_t count) noexcept = 0;
};

struct IOutArchive : IUnknown {
    virtual HRESULT UpdateItems(ISequentialOutStream* outStream, std::uint32_t numItems,
                                IArchiveUpdateCallback* updateCallback) noexcept = 0;
    virtual HRESULT GetFileTimeType(std::uint32_t* type) noexcept = 0;
};

}  // namespace pw
