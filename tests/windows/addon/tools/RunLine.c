/* Runs one command line the way Windows setup runs an add-on's [AddProgram] line: CreateProcess with the
   line as it stands (no quoting added), in the current folder, then waits. The temporary folder is the one
   given, so that each test sees only what its own run left there.
       runline.exe TEMP-FOLDER "COMMAND LINE"
   Prints "exit=N" (Wine passes on only the low 8 bits of an exit code) and exits with N. */
#include "ToolText.h"

#include <shellapi.h>
#include <wchar.h>

int wmain(int argc, wchar_t **argv)
{
    STARTUPINFOW startup;
    PROCESS_INFORMATION process;
    wchar_t report[64];
    DWORD code = 255;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    if (argc != 3) {
        PrintUtf8(L"usage: runline.exe TEMP-FOLDER \"COMMAND LINE\"\n");
        return 2;
    }
    SetEnvironmentVariableW(L"TMP", argv[1]);
    SetEnvironmentVariableW(L"TEMP", argv[1]);
    if (!CreateProcessW(NULL, argv[2], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        swprintf(report, 64, L"error=%lu\n", GetLastError());
        PrintUtf8(report);
        return 255;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    swprintf(report, 64, L"exit=%lu\n", code);
    PrintUtf8(report);
    return (int)code;
}
