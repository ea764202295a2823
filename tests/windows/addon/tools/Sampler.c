/* A stand-in installer for a program folder with a file too big to copy: it records the size of FILE (in its
   working folder) and the 16 bytes at each OFFSET, in samples.txt of the record folder (PW_TEST_RECORD), as
   "size=N" and "OFFSET=HEX" lines. Then it exits with the code PW_TEST_EXIT_CODE gives.
       sampler.exe FILE OFFSET... */
#include "ToolText.h"

#include <shellapi.h>
#include <stdlib.h>
#include <wchar.h>

enum { kNoRecordFolder = 250, kSampleFailed = 251, kSampleSize = 16 };

static BOOL RecordSample(HANDLE file, const wchar_t *record, const wchar_t *offsetText)
{
    unsigned char bytes[kSampleSize];
    wchar_t line[64 + 2 * kSampleSize];
    OVERLAPPED at;
    DWORD got = 0, i;
    unsigned long long offset = _wcstoui64(offsetText, NULL, 10);
    ZeroMemory(&at, sizeof at);
    at.Offset = (DWORD)offset;
    at.OffsetHigh = (DWORD)(offset >> 32);
    if (!ReadFile(file, bytes, kSampleSize, &got, &at))
        return FALSE;
    swprintf(line, 64, L"%I64u=", offset);
    for (i = 0; i < got; ++i)
        swprintf(line + wcslen(line), 3, L"%02x", bytes[i]);
    return AppendUtf8(record, line) && AppendUtf8(record, L"\n");
}

int wmain(void)
{
    wchar_t folder[MAX_PATH], record[MAX_PATH], line[64], code[32];
    int argc = 0, i;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    LARGE_INTEGER size;
    HANDLE file;
    BOOL ok;
    if (!GetEnvironmentVariableW(L"PW_TEST_RECORD", folder, MAX_PATH)) {
        PrintUtf8(L"sampler: PW_TEST_RECORD is not set\n");
        return kNoRecordFolder;
    }
    CreateDirectoryW(folder, NULL);
    swprintf(record, MAX_PATH, L"%ls\\samples.txt", folder);
    if (!argv || argc < 2)
        return kSampleFailed;
    file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size))
        return kSampleFailed;
    swprintf(line, 64, L"size=%I64u\n", (unsigned long long)size.QuadPart);
    ok = AppendUtf8(record, line);
    for (i = 2; i < argc; ++i)
        ok = RecordSample(file, record, argv[i]) && ok;
    CloseHandle(file);
    if (!ok)
        return kSampleFailed;
    return GetEnvironmentVariableW(L"PW_TEST_EXIT_CODE", code, 32) ? (int)wcstoul(code, NULL, 10) : 0;
}
