/* Runs one command line the way Windows setup runs an add-on's [AddProgram] line: CreateProcess with the
   line as it stands (no quoting added), in the current folder, then waits. The temporary folder is the one
   given, so that each test sees only what its own run left there.
       runline.exe [--close-messages] TEMP-FOLDER "COMMAND LINE"
   Prints "exit=N" (Wine passes on only the low 8 bits of an exit code) and exits with N.

   --close-messages: a message box of the started process itself that is still open after two seconds is
   answered with OK, and its text printed as "closed message=TEXT". Windows closes a box that
   MessageBoxTimeoutW shows when its time is up; Wine ignores the time (and reports that as a fixme of its
   "dialog" channel), so this stands in for it. The caller decides from that report whether the box would
   have closed itself. */
#include "ToolText.h"

#include <shellapi.h>
#include <wchar.h>

enum { kClosedLimit = 16, kMessageGraceMs = 2000, kPollMs = 250 };

struct ClosedBoxes {
    DWORD process;
    HWND closed[kClosedLimit];
    int count;
};

static BOOL CALLBACK CloseBox(HWND window, LPARAM context)
{
    struct ClosedBoxes *boxes = (struct ClosedBoxes *)context;
    wchar_t kind[16], text[1024], report[1100];
    DWORD owner = 0;
    int i;
    GetWindowThreadProcessId(window, &owner);
    if (owner != boxes->process || !GetClassNameW(window, kind, 16) || wcscmp(kind, L"#32770"))
        return TRUE;
    for (i = 0; i < boxes->count; ++i)
        if (boxes->closed[i] == window)
            return TRUE;
    text[0] = 0;
    GetDlgItemTextW(window, 0xFFFF, text, 1024); /* a message box keeps its text in the static control -1 */
    swprintf(report, 1100, L"closed message=%ls\n", text);
    PrintUtf8(report);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (boxes->count < kClosedLimit)
        boxes->closed[boxes->count++] = window;
    return TRUE;
}

int wmain(int argc, wchar_t **argv)
{
    STARTUPINFOW startup;
    PROCESS_INFORMATION process;
    struct ClosedBoxes boxes;
    wchar_t report[64];
    DWORD code = 255, waited = 0;
    BOOL closeMessages = argc > 1 && !wcscmp(argv[1], L"--close-messages");
    int first = closeMessages ? 2 : 1;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    if (argc != first + 2) {
        PrintUtf8(L"usage: runline.exe [--close-messages] TEMP-FOLDER \"COMMAND LINE\"\n");
        return 2;
    }
    SetEnvironmentVariableW(L"TMP", argv[first]);
    SetEnvironmentVariableW(L"TEMP", argv[first]);
    if (!CreateProcessW(NULL, argv[first + 1], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        swprintf(report, 64, L"error=%lu\n", GetLastError());
        PrintUtf8(report);
        return 255;
    }
    ZeroMemory(&boxes, sizeof boxes);
    boxes.process = process.dwProcessId;
    while (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_TIMEOUT) {
        waited += kPollMs;
        if (closeMessages && waited >= kMessageGraceMs)
            EnumWindows(CloseBox, (LPARAM)&boxes);
    }
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    /* On a line of its own: what the started programs printed (a batch file's "pause") may not end with one. */
    swprintf(report, 64, L"\nexit=%lu\n", code);
    PrintUtf8(report);
    return (int)code;
}
