#include "Module.h"

#define ATTEMPTS 10
#define PAUSE_MS 500

/* Removes what path names and everything under it; 1 when all of it went. A link or junction is removed
   as itself: what it points to is never touched. On the last attempt, what stays is left for Windows to
   remove at the next restart (which only an administrator may ask for). */
static int RemoveTree(RtText *path, int lastAttempt)
{
    size_t length = path->length;
    int clean = 1;
    RtText_AppendAscii(path, "\\*");
    WIN32_FIND_DATAW found;
    HANDLE search = path->failed ? INVALID_HANDLE_VALUE : FindFirstFileW(path->chars, &found);
    RtText_Truncate(path, length);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const PwChar *name = found.cFileName;
            if (name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2])))
                continue;
            RtText_AppendChar(path, '\\');
            RtText_AppendZ(path, name);
            DWORD attributes = found.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                clean &= RemoveTree(path, lastAttempt);
            } else {
                SetFileAttributesW(path->chars, FILE_ATTRIBUTE_NORMAL);
                int gone = attributes & FILE_ATTRIBUTE_DIRECTORY ? RemoveDirectoryW(path->chars) : DeleteFileW(path->chars);
                if (!gone && lastAttempt)
                    MoveFileExW(path->chars, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
                clean &= gone;
            }
            RtText_Truncate(path, length);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    SetFileAttributesW(path->chars, FILE_ATTRIBUTE_NORMAL);
    int gone = RemoveDirectoryW(path->chars);
    if (!gone && lastAttempt)
        MoveFileExW(path->chars, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    return gone && clean;
}

void Installer_RemoveFolder(const Installer *installer)
{
    RtText path = {0};
    RtText_AppendZ(&path, RtText_Z(&installer->longFolder));
    int removed = 0;
    for (int attempt = 1; attempt <= ATTEMPTS && !removed; ++attempt) {
        removed = RemoveTree(&path, attempt == ATTEMPTS);
        if (!removed && attempt < ATTEMPTS)
            Sleep(PAUSE_MS);
    }
    if (removed) {
        RtText line = {0};
        RtText_AppendAscii(&line, "removed ");
        RtText_AppendZ(&line, RtText_Z(&installer->folder));
        RtLog_Line(RtText_Z(&line));
        RtText_Free(&line);
    } else {
        RtLog_Failure("left for removal at the next restart", RtText_Z(&installer->folder), GetLastError());
    }
    RtText_Free(&path);
}
