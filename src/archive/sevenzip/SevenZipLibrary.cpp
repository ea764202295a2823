#include "archive/sevenzip/SevenZipLibrary.h"

#include "platform/Errors.h"
#include "platform/HostFolders.h"

#include <QFile>

#include <dlfcn.h>
#include <string>

namespace pw {

QString SevenZipLibrary::FileName()
{
    return QStringLiteral("7z.so");
}

QStringList SevenZipLibrary::DefaultPlaces()
{
    const QString name = FileName();
    return {ApplicationFolder() + name,
            QStringLiteral("/usr/lib/p7zip/") + name,
            QStringLiteral("/usr/lib/7zip/") + name,
            QStringLiteral("/usr/libexec/p7zip/") + name,
            QStringLiteral("/usr/local/lib/p7zip/") + name,
            name};
}

QString SevenZipLibrary::LoadFailureMessage()
{
    return QStringLiteral("Could not load CreateObject function from %1\r\nPerhaps %1 not found").arg(FileName());
}

SevenZipLibrary::SevenZipLibrary(const QStringList& places)
{
    for (const QString& place : places) {
        void* handle = dlopen(QFile::encodeName(place).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            continue;
        auto create = reinterpret_cast<CreateObjectFunc>(dlsym(handle, "CreateObject"));
        auto alloc = reinterpret_cast<AllocFunc>(dlsym(handle, "SysAllocString"));
        auto release = reinterpret_cast<FreeFunc>(dlsym(handle, "SysFreeString"));
        if (create && alloc && release) {
            handle_ = handle;
            createObject_ = create;
            sysAllocString_ = alloc;
            sysFreeString_ = release;
            return;
        }
        dlclose(handle);
    }
    throw UserError(LoadFailureMessage());
}

SevenZipLibrary::~SevenZipLibrary()
{
    dlclose(handle_);
}

HRESULT SevenZipLibrary::CreateObject(const GUID& clsid, const GUID& iid, void** out) const
{
    *out = nullptr;
    return createObject_(&clsid, &iid, out);
}

BSTR SevenZipLibrary::AllocString(const QString& text) const
{
    // The library keeps UTF-16 code units in its 4-byte wchar_t (as it does for names it reads from the
    // file system) and stores only the low 16 bits of each: a character outside the BMP must reach it as
    // its two surrogates, not as one UTF-32 value.
    std::wstring wide(size_t(text.size()), L'\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        wide[size_t(i)] = wchar_t(text[i].unicode());
    return sysAllocString_(wide.c_str());
}

void SevenZipLibrary::FreeString(BSTR text) const
{
    sysFreeString_(text);
}

}  // namespace pw
