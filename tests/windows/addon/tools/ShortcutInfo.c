/* Reads shortcuts back through the shell's own IShellLinkW, as Explorer would, and prints their fields.
       lnkinfo.exe [--remove] LOCATION RELATIVE-PATH [LOCATION RELATIVE-PATH]...
   LOCATION is a self-extractor location letter: D desktop, S Start menu, P Programs, T Startup. The shortcut
   is looked for in the current user's folder first, then in the All Users one. For each shortcut it prints
   scope=user|common|none, then path=, arguments=, description=, workdir=, and "--". With --remove the
   shortcut and the folders it made empty are deleted after reading, so that a shared prefix stays clean. */
#include "ToolText.h"

#include <objbase.h>
#include <shlobj.h>
#include <wchar.h>

static BOOL LocationFolders(wchar_t letter, int *user, int *common)
{
    switch (letter) {
    case L'D': *user = CSIDL_DESKTOPDIRECTORY; *common = CSIDL_COMMON_DESKTOPDIRECTORY; return TRUE;
    case L'S': *user = CSIDL_STARTMENU; *common = CSIDL_COMMON_STARTMENU; return TRUE;
    case L'P': *user = CSIDL_PROGRAMS; *common = CSIDL_COMMON_PROGRAMS; return TRUE;
    case L'T': *user = CSIDL_STARTUP; *common = CSIDL_COMMON_STARTUP; return TRUE;
    default: return FALSE;
    }
}

static void PrintField(const wchar_t *key, const wchar_t *value)
{
    PrintUtf8(key);
    PrintUtf8(L"=");
    PrintUtf8(value);
    PrintUtf8(L"\n");
}

static void PrintShortcut(const wchar_t *file)
{
    wchar_t text[INFOTIPSIZE];
    IShellLinkW *link = NULL;
    IPersistFile *stored = NULL;
    if (FAILED(CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, &IID_IShellLinkW, (void **)&link)))
        return;
    if (SUCCEEDED(link->lpVtbl->QueryInterface(link, &IID_IPersistFile, (void **)&stored)) &&
        SUCCEEDED(stored->lpVtbl->Load(stored, file, STGM_READ))) {
        text[0] = 0;
        link->lpVtbl->GetPath(link, text, INFOTIPSIZE, NULL, SLGP_RAWPATH);
        PrintField(L"path", text);
        text[0] = 0;
        link->lpVtbl->GetArguments(link, text, INFOTIPSIZE);
        PrintField(L"arguments", text);
        text[0] = 0;
        link->lpVtbl->GetDescription(link, text, INFOTIPSIZE);
        PrintField(L"description", text);
        text[0] = 0;
        link->lpVtbl->GetWorkingDirectory(link, text, INFOTIPSIZE);
        PrintField(L"workdir", text);
    }
    if (stored)
        stored->lpVtbl->Release(stored);
    link->lpVtbl->Release(link);
}

/* Deletes the shortcut, then each folder of `relative` that it leaves empty, up to the location itself. */
static void RemoveShortcut(wchar_t *file, size_t baseLength)
{
    wchar_t *cut;
    DeleteFileW(file);
    while ((cut = wcsrchr(file, L'\\')) != NULL && (size_t)(cut - file) > baseLength) {
        *cut = 0;
        if (!RemoveDirectoryW(file))
            break;
    }
}

int wmain(int argc, wchar_t **argv)
{
    int first = 1, i;
    BOOL remove = argc > 1 && !wcscmp(argv[1], L"--remove");
    if (remove)
        first = 2;
    if (argc <= first || (argc - first) % 2) {
        PrintUtf8(L"usage: lnkinfo.exe [--remove] LOCATION RELATIVE-PATH [LOCATION RELATIVE-PATH]...\n");
        return 2;
    }
    CoInitialize(NULL);
    for (i = first; i < argc; i += 2) {
        int user, common;
        wchar_t base[MAX_PATH], file[MAX_PATH];
        const wchar_t *scope = L"none";
        if (!LocationFolders(argv[i][0], &user, &common))
            return 2;
        if (SUCCEEDED(SHGetFolderPathW(NULL, user, NULL, SHGFP_TYPE_CURRENT, base))) {
            swprintf(file, MAX_PATH, L"%ls\\%ls", base, argv[i + 1]);
            if (GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES)
                scope = L"user";
        }
        if (!wcscmp(scope, L"none") && SUCCEEDED(SHGetFolderPathW(NULL, common, NULL, SHGFP_TYPE_CURRENT, base))) {
            swprintf(file, MAX_PATH, L"%ls\\%ls", base, argv[i + 1]);
            if (GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES)
                scope = L"common";
        }
        PrintField(L"scope", scope);
        if (wcscmp(scope, L"none")) {
            PrintShortcut(file);
            if (remove)
                RemoveShortcut(file, wcslen(base));
        }
        PrintUtf8(L"--\n");
    }
    CoUninitialize();
    return 0;
}
