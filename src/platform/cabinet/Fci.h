#pragma once
// The compression half of the Windows Cabinet API, as a library of this program's own for hosts that have
// no "cabinet.dll". The records, callback types, codes and functions keep the API's names, layouts and
// meanings so that the code above binds either one through the same entry points. Only stored (NONE) and
// MSZIP folders can be written; any other compression type fails as an unknown type does.
//
// Host decisions: file names handed to FCIAddFile and the paths of the CCAB record are UTF-8 (a name
// with non-ASCII letters is marked with the format's UTF-8 name flag), and erfType carries the host's
// errno values, so the system's text for it is strerror's.
#include <cstdint>

using BOOL = int;
using UINT = std::uint32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using USHORT = std::uint16_t;
using INT_PTR = std::intptr_t;
using TCOMP = USHORT;
using HFCI = void*;

constexpr int CB_MAX_DISK_NAME = 256;
constexpr int CB_MAX_CABINET_NAME = 256;
constexpr int CB_MAX_CAB_PATH = 256;
constexpr int CB_MAX_FILENAME = 256;
constexpr ULONG CB_MAX_DISK = 0x7FFFFFFF;

constexpr TCOMP tcompTYPE_NONE = 0x0000;
constexpr TCOMP tcompTYPE_MSZIP = 0x0001;
constexpr TCOMP tcompTYPE_QUANTUM = 0x0002;
constexpr TCOMP tcompTYPE_LZX = 0x0003;
constexpr TCOMP tcompBAD = 0x000F;

constexpr UINT statusFile = 0;
constexpr UINT statusFolder = 1;
constexpr UINT statusCabinet = 2;

enum FCIERROR : UINT {
    FCIERR_NONE = 0,
    FCIERR_OPEN_SRC = 1,
    FCIERR_READ_SRC = 2,
    FCIERR_ALLOC_FAIL = 3,
    FCIERR_TEMP_FILE = 4,
    FCIERR_BAD_COMPR_TYPE = 5,
    FCIERR_CAB_FILE = 6,
    FCIERR_USER_ABORT = 7,
    FCIERR_MCI_FAIL = 8,
    FCIERR_CAB_FORMAT_LIMIT = 9,
};

struct ERF {
    UINT erfOper;
    UINT erfType;
    BOOL fError;
};

struct CCAB {
    ULONG cb;
    ULONG cbFolderThresh;
    UINT cbReserveCFHeader;
    UINT cbReserveCFFolder;
    UINT cbReserveCFData;
    int iCab;
    int iDisk;
    int fFailOnIncompressible;
    USHORT setID;
    char szDisk[CB_MAX_DISK_NAME];
    char szCab[CB_MAX_CABINET_NAME];
    char szCabPath[CB_MAX_CAB_PATH];
};
using PCCAB = CCAB*;
using PERF = ERF*;

// The Microsoft C run-time open flags and permission bits that FCI passes to the open callback.
constexpr int _O_RDONLY = 0x0000;
constexpr int _O_WRONLY = 0x0001;
constexpr int _O_RDWR = 0x0002;
constexpr int _O_APPEND = 0x0008;
constexpr int _O_RANDOM = 0x0010;
constexpr int _O_SEQUENTIAL = 0x0020;
constexpr int _O_TEMPORARY = 0x0040;
constexpr int _O_CREAT = 0x0100;
constexpr int _O_TRUNC = 0x0200;
constexpr int _O_EXCL = 0x0400;
constexpr int _O_SHORT_LIVED = 0x1000;
constexpr int _O_BINARY = 0x8000;
constexpr int _S_IREAD = 0x0100;
constexpr int _S_IWRITE = 0x0080;

extern "C" {
using PFNFCIALLOC = void* (*)(ULONG cb);
using PFNFCIFREE = void (*)(void* memory);
using PFNFCIOPEN = INT_PTR (*)(char* pszFile, int oflag, int pmode, int* err, void* pv);
using PFNFCIREAD = UINT (*)(INT_PTR hf, void* memory, UINT cb, int* err, void* pv);
using PFNFCIWRITE = UINT (*)(INT_PTR hf, void* memory, UINT cb, int* err, void* pv);
using PFNFCICLOSE = int (*)(INT_PTR hf, int* err, void* pv);
using PFNFCISEEK = LONG (*)(INT_PTR hf, LONG dist, int seektype, int* err, void* pv);
using PFNFCIDELETE = int (*)(char* pszFile, int* err, void* pv);
using PFNFCIGETTEMPFILE = BOOL (*)(char* pszTempName, int cbTempName, void* pv);
using PFNFCIFILEPLACED = int (*)(PCCAB pccab, char* pszFile, LONG cbFile, BOOL fContinuation, void* pv);
using PFNFCIGETNEXTCABINET = BOOL (*)(PCCAB pccab, ULONG cbPrevCab, void* pv);
using PFNFCISTATUS = LONG (*)(UINT typeStatus, ULONG cb1, ULONG cb2, void* pv);
using PFNFCIGETOPENINFO = INT_PTR (*)(char* pszName, USHORT* pdate, USHORT* ptime, USHORT* pattribs, int* err,
                                      void* pv);

HFCI FCICreate(PERF perf, PFNFCIFILEPLACED pfnfcifp, PFNFCIALLOC pfna, PFNFCIFREE pfnf, PFNFCIOPEN pfnopen,
               PFNFCIREAD pfnread, PFNFCIWRITE pfnwrite, PFNFCICLOSE pfnclose, PFNFCISEEK pfnseek,
               PFNFCIDELETE pfndelete, PFNFCIGETTEMPFILE pfnfcigtf, PCCAB pccab, void* pv);
BOOL FCIAddFile(HFCI hfci, char* pszSourceFile, char* pszFileName, BOOL fExecute, PFNFCIGETNEXTCABINET pfnfcignc,
                PFNFCISTATUS pfnfcis, PFNFCIGETOPENINFO pfnfcigoi, TCOMP typeCompress);
BOOL FCIFlushCabinet(HFCI hfci, BOOL fGetNextCab, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis);
BOOL FCIFlushFolder(HFCI hfci, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis);
BOOL FCIDestroy(HFCI hfci);
}

namespace pw::fci {

// The library's exports by name, as a loader finds them; nullptr for a name it does not export. The
// decompression entry points are exported so that a binding finds every name it looks for, but this
// library does not read cabinets: they fail as the API fails when it cannot start.
void* FindExport(const char* name);

}  // namespace pw::fci
