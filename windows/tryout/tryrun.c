/* tryrun "LINE" ["LINE"...]: runs an add-on's [AddProgram] lines for a try under Wine the way Windows setup
   runs them: each line as it stands (one argument of this program) started by CreateProcess in the current
   folder, and that one process waited for before the next line starts. It tells the Linux side what Wine's
   own exit status cannot (it keeps 8 bits of a code) on standard output, one UTF-8 line each, "tryrun: "
   first so that nothing the lines print passes for it:
       tryrun: exit=CODE       a line's process ended with CODE (all 32 bits)
       tryrun: error=CODE      the Windows error that kept a line from starting
       tryrun: left=PID NAME   a process the lines started, directly or not, still running after the last
   Exits with 0, or with 1 when it was given no line. */
#include "Runtime.h"

#include <tlhelp32.h>

static void PrintLine(RtText *line)
{
    RtText_AppendChar(line, '\n');
    if (line->failed)
        return;
    uint8_t *bytes = RtAlloc(line->length * 3);
    if (!bytes)
        return;
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes, (DWORD)RtUtf16ToUtf8(line->chars, line->length, bytes), &written,
              NULL);
    RtFree(bytes);
}

static void PrintNumber(const char *key, DWORD value)
{
    RtText line = {0};
    RtText_AppendAscii(&line, "tryrun: ");
    RtText_AppendAscii(&line, key);
    RtText_AppendNumber(&line, value);
    PrintLine(&line);
    RtText_Free(&line);
}

/* The processes of a snapshot, in an array that grows as they are read. */
typedef struct Processes {
    PROCESSENTRY32W *entries;
    size_t count, capacity;
} Processes;

static int ReadProcesses(Processes *processes)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (processes->count == processes->capacity) {
            size_t capacity = processes->capacity ? processes->capacity * 2 : 64;
            PROCESSENTRY32W *grown = RtAlloc(capacity * sizeof *grown);
            if (!grown)
                break;
            for (size_t i = 0; i < processes->count; ++i)
                grown[i] = processes->entries[i];
            RtFree(processes->entries);
            processes->entries = grown;
            processes->capacity = capacity;
        }
        processes->entries[processes->count++] = entry;
    }
    CloseHandle(snapshot);
    return 1;
}

static int Contains(const Processes *processes, DWORD id)
{
    for (size_t i = 0; i < processes->count; ++i)
        if (processes->entries[i].th32ProcessID == id)
            return 1;
    return 0;
}

static int IsStarted(const DWORD *started, size_t count, DWORD id)
{
    for (size_t i = 0; i < count; ++i)
        if (started[i] == id)
            return 1;
    return 0;
}

/* Reports the processes the line left running. Windows keeps no tree: a process whose parent has ended
   keeps the ended parent's id, so the line's processes are found the other way round. Every process of
   `before` (this program, Wine's services, its desktop) belongs to the system, and so does a new process
   whose parent does, except the ones the lines started: the services Wine starts on demand. What is new
   and not the system's came from the lines. */
static void ReportLeft(const Processes *before, const DWORD *started, size_t startedCount)
{
    Processes after = {0};
    char *system = NULL;
    if (ReadProcesses(&after) && (system = RtAlloc(after.count + 1))) {
        for (size_t i = 0; i < after.count; ++i)
            system[i] = (char)Contains(before, after.entries[i].th32ProcessID);
        for (int grew = 1; grew;) {
            grew = 0;
            for (size_t i = 0; i < after.count; ++i) {
                const PROCESSENTRY32W *entry = &after.entries[i];
                if (system[i] || IsStarted(started, startedCount, entry->th32ProcessID))
                    continue;
                for (size_t j = 0; j < after.count; ++j) {
                    if (system[j] && after.entries[j].th32ProcessID == entry->th32ParentProcessID) {
                        system[i] = grew = 1;
                        break;
                    }
                }
            }
        }
        for (size_t i = 0; i < after.count; ++i) {
            if (system[i] || IsStarted(started, startedCount, after.entries[i].th32ProcessID))
                continue;
            RtText line = {0};
            RtText_AppendAscii(&line, "tryrun: left=");
            RtText_AppendNumber(&line, after.entries[i].th32ProcessID);
            RtText_AppendChar(&line, ' ');
            RtText_AppendZ(&line, after.entries[i].szExeFile);
            PrintLine(&line);
            RtText_Free(&line);
        }
    }
    RtFree(system);
    RtFree(after.entries);
}

/* Runs one line and reports how it ended; gives the id of its process, or 0 when it did not start. */
static DWORD RunLine(PwChar *line)
{
    STARTUPINFOW startup = {0};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        PrintNumber("error=", GetLastError());
        return 0;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    PrintNumber("exit=", code);
    return process.dwProcessId;
}

int AppMain(void)
{
    /* Wine starts its desktop process for the first program that needs the desktop; asking for it here
       makes that process this program's, not one the lines seem to have left behind. */
    GetDesktopWindow();
    Processes before = {0};
    ReadProcesses(&before);

    /* A command line holds fewer arguments than half its 32767 characters. */
    DWORD *started = RtAlloc(16384 * sizeof *started);
    size_t lines = 0;
    const PwChar *cursor = RtCmd_SkipProgramName(GetCommandLineW());
    RtText line = {0};
    while (started && (cursor = RtCmd_NextArgument(cursor, &line)) != NULL) {
        if (!line.failed && line.length)
            started[lines++] = RunLine(line.chars);
        RtText_Free(&line);
    }
    if (lines)
        ReportLeft(&before, started, lines);
    else
        PrintNumber("error=", ERROR_INVALID_PARAMETER);
    RtFree(started);
    RtFree(before.entries);
    return lines ? 0 : 1;
}
