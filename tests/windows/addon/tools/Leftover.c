/* An installer that leaves a program behind, as one that starts its tray icon or updater does. The program
   it leaves keeps the job's completion port busy: it starts a short-lived process every 300 ms, more often
   than a waiter that counts quiet seconds on the port would ever see one, and uses almost no processor time
   itself. It ends when the stop file appears, or after 90 s in case nobody makes one.
       leftover.exe STOP-FILE           the installer: starts the program it leaves and exits with 7
       leftover.exe --stay STOP-FILE    the program left behind
       leftover.exe --brief             one of its short-lived processes: exits at once */
#include <windows.h>
#include <wchar.h>

enum { kInstallerExitCode = 7, kStartEveryMs = 300, kLongestStayMs = 90000 };

static BOOL Start(const wchar_t *arguments, PROCESS_INFORMATION *process)
{
    wchar_t self[MAX_PATH], commandLine[2 * MAX_PATH + 32];
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    GetModuleFileNameW(NULL, self, MAX_PATH);
    swprintf(commandLine, sizeof commandLine / sizeof *commandLine, L"\"%ls\" %ls", self, arguments);
    return CreateProcessW(self, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, process);
}

static void Forget(PROCESS_INFORMATION *process)
{
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
}

static int Stay(const wchar_t *stopFile)
{
    DWORD started = GetTickCount();
    while (GetFileAttributesW(stopFile) == INVALID_FILE_ATTRIBUTES && GetTickCount() - started < kLongestStayMs) {
        PROCESS_INFORMATION brief;
        if (Start(L"--brief", &brief)) {
            WaitForSingleObject(brief.hProcess, INFINITE);
            Forget(&brief);
        }
        Sleep(kStartEveryMs);
    }
    return 0;
}

int wmain(int argc, wchar_t **argv)
{
    wchar_t arguments[MAX_PATH + 16];
    PROCESS_INFORMATION stay;
    if (argc == 2 && !wcscmp(argv[1], L"--brief"))
        return 0;
    if (argc == 3 && !wcscmp(argv[1], L"--stay"))
        return Stay(argv[2]);
    if (argc != 2)
        return 2;
    swprintf(arguments, sizeof arguments / sizeof *arguments, L"--stay \"%ls\"", argv[1]);
    if (!Start(arguments, &stay))
        return 3;
    Forget(&stay);
    return kInstallerExitCode;
}
