// The exported entry points: argument checks, the context's lifetime, and the table a loader reads.
#include "platform/cabinet/Fci.h"
#include "platform/cabinet/FciContext.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace {

using pw::fci::Context;

Context* ContextOf(HFCI hfci)
{
    auto* context = static_cast<Context*>(hfci);
    return context && context->IsValid() ? context : nullptr;
}

bool ValidReserves(const CCAB& ccab)
{
    return ccab.cbReserveCFHeader <= 60000 && ccab.cbReserveCFFolder <= 255 && ccab.cbReserveCFData <= 255;
}

}  // namespace

extern "C" {

HFCI FCICreate(PERF perf, PFNFCIFILEPLACED pfnfcifp, PFNFCIALLOC pfna, PFNFCIFREE pfnf, PFNFCIOPEN pfnopen,
               PFNFCIREAD pfnread, PFNFCIWRITE pfnwrite, PFNFCICLOSE pfnclose, PFNFCISEEK pfnseek,
               PFNFCIDELETE pfndelete, PFNFCIGETTEMPFILE pfnfcigtf, PCCAB pccab, void* pv)
{
    if (!perf)
        return nullptr;
    const pw::fci::Callbacks callbacks{pfnfcifp, {pfna, pfnf}, pfnopen, pfnread, pfnwrite,
                                       pfnclose, pfnseek, pfndelete, pfnfcigtf};
    if (!pfnfcifp || !pfna || !pfnf || !pfnopen || !pfnread || !pfnwrite || !pfnclose || !pfnseek || !pfndelete ||
        !pfnfcigtf || !pccab || !ValidReserves(*pccab)) {
        *perf = {FCIERR_NONE, EINVAL, 1};
        return nullptr;
    }
    void* memory = pfna(sizeof(Context));
    if (!memory) {
        *perf = {FCIERR_ALLOC_FAIL, ENOMEM, 1};
        return nullptr;
    }
    try {
        return new (memory) Context(perf, callbacks, pccab, pv);
    } catch (const std::bad_alloc&) {
        pfnf(memory);
        *perf = {FCIERR_ALLOC_FAIL, ENOMEM, 1};
        return nullptr;
    }
}

BOOL FCIAddFile(HFCI hfci, char* pszSourceFile, char* pszFileName, BOOL fExecute, PFNFCIGETNEXTCABINET pfnfcignc,
                PFNFCISTATUS pfnfcis, PFNFCIGETOPENINFO pfnfcigoi, TCOMP typeCompress)
{
    Context* context = ContextOf(hfci);
    return context && context->AddFile(pszSourceFile, pszFileName, fExecute != 0, pfnfcignc, pfnfcis, pfnfcigoi,
                                       typeCompress);
}

BOOL FCIFlushCabinet(HFCI hfci, BOOL fGetNextCab, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis)
{
    Context* context = ContextOf(hfci);
    return context && context->FlushCabinet(fGetNextCab != 0, pfnfcignc, pfnfcis);
}

BOOL FCIFlushFolder(HFCI hfci, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis)
{
    Context* context = ContextOf(hfci);
    return context && context->FlushFolder(pfnfcignc, pfnfcis);
}

BOOL FCIDestroy(HFCI hfci)
{
    Context* context = ContextOf(hfci);
    if (!context)
        return 0;
    const PFNFCIFREE release = context->FreeCallback();
    context->~Context();
    release(context);
    return 1;
}

// Reading cabinets is left to the system's own tools on this host. These fail the way the API does
// when it cannot start: no context, and an error record that says why.
void* FDICreate(void*, void*, void*, void*, void*, void*, void*, int, ERF* perf)
{
    if (perf)
        *perf = {5 /* FDIERROR_ALLOC_FAIL */, ENOSYS, 1};
    return nullptr;
}

BOOL FDIIsCabinet(void*, INT_PTR, void*)
{
    return 0;
}

BOOL FDICopy(void*, char*, char*, int, void*, void*, void*)
{
    return 0;
}

BOOL FDIDestroy(void*)
{
    return 0;
}

}  // extern "C"

namespace pw::fci {

void* FindExport(const char* name)
{
    static const struct {
        const char* name;
        void* address;
    } exports[] = {
        {"FCICreate", reinterpret_cast<void*>(&::FCICreate)},
        {"FCIAddFile", reinterpret_cast<void*>(&::FCIAddFile)},
        {"FCIFlushCabinet", reinterpret_cast<void*>(&::FCIFlushCabinet)},
        {"FCIFlushFolder", reinterpret_cast<void*>(&::FCIFlushFolder)},
        {"FCIDestroy", reinterpret_cast<void*>(&::FCIDestroy)},
        {"FDICreate", reinterpret_cast<void*>(&::FDICreate)},
        {"FDIIsCabinet", reinterpret_cast<void*>(&::FDIIsCabinet)},
        {"FDICopy", reinterpret_cast<void*>(&::FDICopy)},
        {"FDIDestroy", reinterpret_cast<void*>(&::FDIDestroy)},
    };
    for (const auto& entry : exports) {
        if (std::strcmp(entry.name, name) == 0)
            return entry.address;
    }
    return nullptr;
}

}  // namespace pw::fci
