#pragma once
// The callbacks the Cabinet API asks of its caller for memory, files, temporary files and file
// information. Handles are file descriptors; every failure returns -1 (false for the temporary name) and
// leaves the system's error code in *err.
#include "platform/cabinet/Fci.h"

#include <QByteArray>

#include <ctime>

namespace pw {

extern "C" {
void* FciAlloc(ULONG cb);
void FciFree(void* memory);
INT_PTR FciOpen(char* pszFile, int oflag, int pmode, int* err, void* pv);
UINT FciRead(INT_PTR hf, void* memory, UINT cb, int* err, void* pv);
UINT FciWrite(INT_PTR hf, void* memory, UINT cb, int* err, void* pv);
int FciClose(INT_PTR hf, int* err, void* pv);
LONG FciSeek(INT_PTR hf, LONG dist, int seektype, int* err, void* pv);
int FciDelete(char* pszFile, int* err, void* pv);
BOOL FciGetTempFile(char* pszTempName, int cbTempName, void* pv);
INT_PTR FciGetOpenInfo(char* pszName, USHORT* pdate, USHORT* ptime, USHORT* pattribs, int* err, void* pv);
}

// The temporary-file callback's work in `folder` rather than in the system's folder for temporary files:
// a free name beginning with "stc" there, the file claimed for it removed again.
BOOL TempFileNameIn(const QByteArray& folder, char* pszTempName, int cbTempName);

// A moment as the DOS date and time a cabinet records (local time, or UTC for a reproducible build, see
// SourceDateEpoch), held to the range the format can show (1980 to 2107).
void RecordedDosDateTime(std::time_t moment, USHORT* date, USHORT* time);

}  // namespace pw
