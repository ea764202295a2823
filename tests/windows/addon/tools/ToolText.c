#include "ToolText.h"

BOOL AppendUtf8(const wchar_t *path, const wchar_t *text)
{
    char bytes[8192];
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
    HANDLE file;
    DWORD written = 0;
    BOOL ok;
    if (size <= 0)
        return FALSE;
    file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    ok = WriteFile(file, bytes, (DWORD)(size - 1), &written, NULL) && written == (DWORD)(size - 1);
    CloseHandle(file);
    return ok;
}

void PrintUtf8(const wchar_t *text)
{
    char bytes[8192];
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
    DWORD written;
    if (size > 1)
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes, (DWORD)(size - 1), &written, NULL);
}
