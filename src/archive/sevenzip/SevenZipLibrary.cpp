#include "archive/sevenzip/SevenZipLibrary.h"

#include "platform/Errors.h"
#include "platform/HostFolders.h"

#include <QFile>

#include <dlfcn.h>

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

std::wstring SevenZipLibrary::WideText(const QString& text)
{
    return std::wstring(text.utf16(), text.utf16() + text.size());
}

BSTR SevenZipLibrary::AllocString(const QString& text) const
{
    return sysAllocString_(WideText(text).c_str());
}

void SevenZipLibrary::FreeString(BSTR text) const
{
    sysFreeString_(text);
}

}  // namespace pw
