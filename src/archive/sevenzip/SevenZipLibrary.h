#pragma once
// The 7-Zip library, loaded at run time: from the program's own folder first, then from the places
// where this host's packages install it.
#include "archive/sevenzip/ComInterfaces.h"

#include <QString>
#include <QStringList>

#include <string>

namespace pw {

class SevenZipLibrary {
public:
    // Loads the first of `places` that loads and exports CreateObject. Throws UserError with
    // LoadFailureMessage() when none does.
    explicit SevenZipLibrary(const QStringList& places = DefaultPlaces());
    ~SevenZipLibrary();
    SevenZipLibrary(const SevenZipLibrary&) = delete;
    SevenZipLibrary& operator=(const SevenZipLibrary&) = delete;

    // File name of the library on this host.
    static QString FileName();
    // The program's folder, the packages' folders, then the dynamic loader's own search.
    static QStringList DefaultPlaces();
    // "Could not load CreateObject function from 7z.so", CR LF, "Perhaps 7z.so not found".
    static QString LoadFailureMessage();

    // A new object of class `clsid` answering `iid`, with one reference the caller owns.
    HRESULT CreateObject(const GUID& clsid, const GUID& iid, void** out) const;

    // A string as the library takes it: one wchar_t for each UTF-16 unit, a character outside the 16-bit
    // range as its two surrogates. The archive format stores UTF-16 and the library writes each wchar_t
    // as one unit, so a whole character in a 4-byte wchar_t would lose its upper bits.
    static std::wstring WideText(const QString& text);

    // Strings the library frees itself (property values it clears, passwords it is handed) must come
    // from its own allocator.
    BSTR AllocString(const QString& text) const;
    void FreeString(BSTR text) const;

private:
    using CreateObjectFunc = HRESULT (*)(const GUID*, const GUID*, void**);
    using AllocFunc = BSTR (*)(const wchar_t*);
    using FreeFunc = void (*)(BSTR);

    void* handle_ = nullptr;
    CreateObjectFunc createObject_ = nullptr;
    AllocFunc sysAllocString_ = nullptr;
    FreeFunc sysFreeString_ = nullptr;
};

}  // namespace pw
