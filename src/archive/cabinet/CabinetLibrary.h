#pragma once
// The Cabinet API as the program reaches it: bound by name inside the first FCICreate of the process and
// kept until the program ends. A binding that fails leaves nothing bound, so the next FCICreate starts
// over. On this host the library bound is the program's own (platform/cabinet).
#include "platform/cabinet/Fci.h"

namespace pw {

// Where the library comes from: load it, find an entry point by name, unload it. Failures hand back the
// system's error code.
class CabinetModuleSource {
public:
    virtual ~CabinetModuleSource() = default;
    virtual void* Load(int* error) = 0;
    virtual void* Find(void* module, const char* name, int* error) = 0;
    virtual void Unload(void* module) = 0;
};

namespace CabinetLibrary {

// Binds the library first when it is not bound; raises the system's error when that fails.
HFCI FCICreate(PERF perf, PFNFCIFILEPLACED pfnfcifp, PFNFCIALLOC pfna, PFNFCIFREE pfnf, PFNFCIOPEN pfnopen,
               PFNFCIREAD pfnread, PFNFCIWRITE pfnwrite, PFNFCICLOSE pfnclose, PFNFCISEEK pfnseek,
               PFNFCIDELETE pfndelete, PFNFCIGETTEMPFILE pfnfcigtf, PCCAB pccab, void* pv);
// Called only with a context from FCICreate, so the library is bound by then.
BOOL FCIAddFile(HFCI hfci, char* pszSourceFile, char* pszFileName, BOOL fExecute, PFNFCIGETNEXTCABINET pfnfcignc,
                PFNFCISTATUS pfnfcis, PFNFCIGETOPENINFO pfnfcigoi, TCOMP typeCompress);
BOOL FCIFlushCabinet(HFCI hfci, BOOL fGetNextCab, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis);
BOOL FCIFlushFolder(HFCI hfci, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis);
BOOL FCIDestroy(HFCI hfci);

bool IsBound();

// Replaces where the library comes from (nullptr: the program's own) and drops the current binding.
void UseModuleSource(CabinetModuleSource* source);

}  // namespace CabinetLibrary
}  // namespace pw
