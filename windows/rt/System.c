#include "Runtime.h"

int RtModulePath(RtText *path)
{
    /* The path may be longer than MAX_PATH; the call says so only by filling the whole buffer. */
    for (DWORD size = MAX_PATH;; size *= 2) {
        PwChar *buffer = RtAlloc(size * sizeof(PwChar));
        if (!buffer)
            return 0;
        DWORD length = GetModuleFileNameW(NULL, buffer, size);
        if (length && length < size)
            RtText_Append(path, buffer, length);
        RtFree(buffer);
        if (!length || length < size)
            return length && !path->failed;
    }
}

size_t RtFolderLength(const PwChar *path)
{
    size_t length = RtLength(path);
    while (length && path[length - 1] != '\\')
        --length;
    return length ? length - 1 : 0;
}

int RtSystemFile(RtText *path, const PwChar *name)
{
    PwChar folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return 0;
    RtText_AppendPath(path, folder, length, name, RtLength(name));
    return !path->failed;
}

int RtIsFile(const PwChar *path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RtText_AppendError(RtText *text, DWORD code)
{
    PwChar message[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0,
                                  message, sizeof message / sizeof *message, NULL);
    while (length && (message[length - 1] == '\r' || message[length - 1] == '\n' || message[length - 1] == ' '
                      || message[length - 1] == '.'))
        --length;
    if (length) {
        RtText_Append(text, message, length);
        RtText_AppendAscii(text, " (error ");
    } else {
        RtText_AppendAscii(text, "(error ");
    }
    RtText_AppendNumber(text, code);
    RtText_AppendChar(text, ')');
}
