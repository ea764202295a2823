/* Removes a folder and everything under it with the self-extractor's own removal (windows/sfx/Remove.c) and
   reports how much stack that took: the removal must not need stack in proportion to the tree's depth, which
   "\\?\" paths let reach some 16,000 levels.
       RemoveTree.exe FOLDER
   FOLDER is a full path without the "\\?\" prefix. Prints "gone=1" when nothing of it is left ("gone=0"
   otherwise) and "stack=N", the bytes of stack below its caller that the removal wrote. */
#include "Module.h"

#include <stdio.h>

/* The removal runs on a thread of its own, whose stack below the thread's first frame is marked before and
   read after. Wine gives a thread at least 1 MiB, whatever is asked for. */
enum { kThreadStack = 1024 * 1024, kMarked = 768 * 1024, kFrame = 512, kMark = 0xA5 };

static DWORD WINAPI Remove(void *installer)
{
    /* Page by page downwards, as the stack grows: Windows commits it a guard page at a time. */
    volatile BYTE *top = (volatile BYTE *)((UINT_PTR)__builtin_frame_address(0) - kFrame), *p = top;
    while (p > top - kMarked)
        *--p = kMark;
    Installer_RemoveFolder(installer);
    while (p < top && *p == kMark)
        ++p;
    return (DWORD)(top - p);
}

int wmain(int argc, wchar_t **argv)
{
    Installer installer = {0};
    DWORD used = 0;
    if (argc != 2) {
        fputs("usage: RemoveTree.exe FOLDER\n", stderr);
        return 2;
    }
    RtLog_Start();
    RtText_AppendZ(&installer.folder, argv[1]);
    RtText_AppendAscii(&installer.longFolder, "\\\\?\\");
    RtText_AppendZ(&installer.longFolder, argv[1]);
    HANDLE thread = CreateThread(NULL, kThreadStack, Remove, &installer, STACK_SIZE_PARAM_IS_A_RESERVATION, NULL);
    if (!thread || WaitForSingleObject(thread, INFINITE) != WAIT_OBJECT_0 || !GetExitCodeThread(thread, &used))
        return 3;
    printf("gone=%d stack=%lu\n", GetFileAttributesW(argv[1]) == INVALID_FILE_ATTRIBUTES, used);
    return 0;
}
