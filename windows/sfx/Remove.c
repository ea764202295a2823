#include "Module.h"

#define ATTEMPTS 10
#define PAUSE_MS 500

/* Removes one file, link or empty folder; on the last attempt, what stays is left for Windows to remove at
   the next restart (which only an administrator may ask for). */
static int RemoveItem(const PwChar *path, int isFolder, int lastAttempt)
{
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    int gone = isFolder ? RemoveDirectoryW(path) : DeleteFileW(path);
    if (!gone && lastAttempt)
        MoveFileExW(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    return gone;
}

/* Removes the files and links in the folder path names, and pushes its sub-folders' names on pending, each
   followed by a zero. A link or junction is removed as itself: what it points to is never touched. */
static int EmptyFolder(RtText *path, RtText *pending, int lastAttempt)
{
    size_t length = path->length;
    int clean = 1;
    RtText_AppendAscii(path, "\\*");
    WIN32_FIND_DATAW found;
    HANDLE search = path->failed ? INVALID_HANDLE_VALUE : FindFirstFileW(path->chars, &found);
    RtText_Truncate(path, length);
    if (search == INVALID_HANDLE_VALUE)
        return 1;
    do {
        const PwChar *name = found.cFileName;
        if (name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2])))
            continue;
        DWORD attributes = found.dwFileAttributes;
        int isFolder = attributes & FILE_ATTRIBUTE_DIRECTORY;
        if (isFolder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            RtText_AppendZ(pending, name);
            RtText_AppendChar(pending, 0);
            continue;
        }
        RtText_AppendChar(path, '\\');
        RtText_AppendZ(path, name);
        clean &= RemoveItem(path->chars, isFolder, lastAttempt);
        RtText_Truncate(path, length);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return clean;
}

/* Removes the folder path names and everything under it; 1 when all of it went. The walk keeps the folders
   still to visit in a list of its own instead of recursing, since a tree as deep as "\\?\" paths allow (some
   16,000 levels) would overflow the stack: pending holds, for each folder entered on the way down, an empty
   name that says "leave it", and above that the names of its sub-folders still to visit. */
static int RemoveTree(RtText *path, int lastAttempt)
{
    size_t root = path->length;
    RtText pending = {0};
    int clean = EmptyFolder(path, &pending, lastAttempt);
    while (pending.length && !pending.failed && !path->failed) {
        size_t end = pending.length - 1, start = end;
        while (start && pending.chars[start - 1])
            --start;
        if (start == end) {
            clean &= RemoveItem(path->chars, 1, lastAttempt);
            RtText_Truncate(path, RtFolderLength(path->chars));
            RtText_Truncate(&pending, start);
        } else {
            RtText_AppendChar(path, '\\');
            RtText_Append(path, pending.chars + start, end - start);
            RtText_Truncate(&pending, start);
            RtText_AppendChar(&pending, 0);
            clean &= EmptyFolder(path, &pending, lastAttempt);
        }
    }
    clean &= !pending.failed && !path->failed;
    RtText_Free(&pending);
    RtText_Truncate(path, root);
    return RemoveItem(path->chars, 1, lastAttempt) && clean;
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
