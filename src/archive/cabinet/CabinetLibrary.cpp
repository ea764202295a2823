#include "archive/cabinet/CabinetLibrary.h"

#include "archive/cabinet/ESTCabinet.h"

#include <cerrno>

namespace pw {
namespace {

// The library linked into the program: always there, its exports found by name like any other's.
class BuiltInCabinet : public CabinetModuleSource {
public:
    void* Load(int*) override { return this; }
    void* Find(void*, const char* name, int* error) override
    {
        void* address = fci::FindExport(name);
        if (!address)
            *error = ENOSYS;
        return address;
    }
    void Unload(void*) override {}
};

const char* const kEntryPoints[] = {"FCICreate", "FCIAddFile", "FCIFlushCabinet", "FCIFlushFolder", "FCIDestroy",
                                    "FDICreate", "FDIIsCabinet", "FDICopy",         "FDIDestroy"};
constexpr std::size_t kEntryCount = sizeof kEntryPoints / sizeof kEntryPoints[0];

class Binding {
public:
    ~Binding() { Forget(); }

    void Bind()
    {
        if (module_)
            return;
        int error = 0;
        void* module = source()->Load(&error);
        if (!module)
            throw OperatingSystemError(error);
        void* found[kEntryCount];
        for (std::size_t i = 0; i < kEntryCount; ++i) {
            found[i] = source()->Find(module, kEntryPoints[i], &error);
            if (!found[i]) {
                source()->Unload(module);
                throw OperatingSystemError(error);
            }
        }
        module_ = module;
        for (std::size_t i = 0; i < kEntryCount; ++i)
            entries_[i] = found[i];
    }

    void Forget()
    {
        if (module_)
            source()->Unload(module_);
        module_ = nullptr;
    }

    void Use(CabinetModuleSource* source)
    {
        Forget();
        source_ = source;
    }

    bool IsBound() const { return module_ != nullptr; }

    template <class Function>
    Function Entry(std::size_t index) const
    {
        return reinterpret_cast<Function>(entries_[index]);
    }

private:
    CabinetModuleSource* source() { return source_ ? source_ : &builtIn_; }

    BuiltInCabinet builtIn_;
    CabinetModuleSource* source_ = nullptr;
    void* module_ = nullptr;
    void* entries_[kEntryCount] = {};
};

Binding& TheBinding()
{
    static Binding binding;  // unloaded when the program ends
    return binding;
}

}  // namespace

namespace CabinetLibrary {

HFCI FCICreate(PERF perf, PFNFCIFILEPLACED pfnfcifp, PFNFCIALLOC pfna, PFNFCIFREE pfnf, PFNFCIOPEN pfnopen,
               PFNFCIREAD pfnread, PFNFCIWRITE pfnwrite, PFNFCICLOSE pfnclose, PFNFCISEEK pfnseek,
               PFNFCIDELETE pfndelete, PFNFCIGETTEMPFILE pfnfcigtf, PCCAB pccab, void* pv)
{
    TheBinding().Bind();
    return TheBinding().Entry<decltype(&::FCICreate)>(0)(perf, pfnfcifp, pfna, pfnf, pfnopen, pfnread, pfnwrite,
                                                         pfnclose, pfnseek, pfndelete, pfnfcigtf, pccab, pv);
}

BOOL FCIAddFile(HFCI hfci, char* pszSourceFile, char* pszFileName, BOOL fExecute, PFNFCIGETNEXTCABINET pfnfcignc,
                PFNFCISTATUS pfnfcis, PFNFCIGETOPENINFO pfnfcigoi, TCOMP typeCompress)
{
    return TheBinding().Entry<decltype(&::FCIAddFile)>(1)(hfci, pszSourceFile, pszFileName, fExecute, pfnfcignc,
                                                          pfnfcis, pfnfcigoi, typeCompress);
}

BOOL FCIFlushCabinet(HFCI hfci, BOOL fGetNextCab, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis)
{
    return TheBinding().Entry<decltype(&::FCIFlushCabinet)>(2)(hfci, fGetNextCab, pfnfcignc, pfnfcis);
}

BOOL FCIFlushFolder(HFCI hfci, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis)
{
    return TheBinding().Entry<decltype(&::FCIFlushFolder)>(3)(hfci, pfnfcignc, pfnfcis);
}

BOOL FCIDestroy(HFCI hfci)
{
    return TheBinding().Entry<decltype(&::FCIDestroy)>(4)(hfci);
}

bool IsBound()
{
    return TheBinding().IsBound();
}

void UseModuleSource(CabinetModuleSource* source)
{
    TheBinding().Use(source);
}

}  // namespace CabinetLibrary
}  // namespace pw
