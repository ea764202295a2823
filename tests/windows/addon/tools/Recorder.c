/* A stand-in installer for the end-to-end tests of add-ons. It records how it was started: one line per start
   in runs.txt, its arguments one per line in arguments.txt, its working folder and its own path, and a copy of
   everything its working folder held in tree\ (the files an installer finds beside it). Then it exits with
   the code the test chose. Where it records is given by PW_TEST_RECORD, the code by PW_TEST_EXIT_CODE. */
#include "ToolText.h"

#include <shellapi.h>
#include <wchar.h>

enum { kNoRecordFolder = 250, kRecordFailed = 251 };

static BOOL CopyTree(const wchar_t *from, const wchar_t *to)
{
    wchar_t pattern[MAX_PATH], source[MAX_PATH], target[MAX_PATH];
    WIN32_FIND_DATAW found;
    HANDLE search;
    BOOL ok = TRUE;
    if (!CreateDirectoryW(to, NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
        return FALSE;
    swprintf(pattern, MAX_PATH, L"%ls\\*", from);
    search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return FALSE;
    do {
        if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L".."))
            continue;
        swprintf(source, MAX_PATH, L"%ls\\%ls", from, found.cFileName);
        swprintf(target, MAX_PATH, L"%ls\\%ls", to, found.cFileName);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(source, target) && ok;
        else
            ok = CopyFileW(source, target, FALSE) && ok;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return ok;
}

/* Writes `value` and a line end to the file `name` in the record folder. */
static BOOL RecordLine(const wchar_t *folder, const wchar_t *name, const wchar_t *value)
{
    wchar_t path[MAX_PATH];
    swprintf(path, MAX_PATH, L"%ls\\%ls", folder, name);
    return AppendUtf8(path, value) && AppendUtf8(path, L"\n");
}

int wmain(void)
{
    wchar_t folder[MAX_PATH], code[32], here[MAX_PATH], self[MAX_PATH], tree[MAX_PATH];
    int argc = 0, i;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    BOOL ok;
    if (!GetEnvironmentVariableW(L"PW_TEST_RECORD", folder, MAX_PATH)) {
        PrintUtf8(L"recorder: PW_TEST_RECORD is not set\n");
        return kNoRecordFolder;
    }
    CreateDirectoryW(folder, NULL);
    GetCurrentDirectoryW(MAX_PATH, here);
    GetModuleFileNameW(NULL, self, MAX_PATH);
    swprintf(tree, MAX_PATH, L"%ls\\tree", folder);
    ok = RecordLine(folder, L"runs.txt", GetCommandLineW()) && RecordLine(folder, L"folder.txt", here) &&
         RecordLine(folder, L"program.txt", self);
    for (i = 1; argv && i < argc; ++i)
        ok = RecordLine(folder, L"arguments.txt", argv[i]) && ok;
    ok = CopyTree(here, tree) && ok;
    if (!ok)
        return kRecordFailed;
    return GetEnvironmentVariableW(L"PW_TEST_EXIT_CODE", code, 32) ? (int)wcstoul(code, NULL, 10) : 0;
}
