/* tryrun REPORT "LINE" ["LINE"...]: runs an add-on's [AddProgram] lines for a try under Wine the way Windows
   setup runs them: each line as it stands (one argument of this program) started by CreateProcess in the
   current folder, and that one process waited for before the next line starts. Each line's standard input is
   a pipe whose write end this program holds and never writes: a program that waits for a key waits for ever,
   as it would on a console nobody types into, instead of reading an end of file at once.
   It tells the Linux side what Wine's own exit status cannot (it keeps 8 bits of a code) in the file REPORT,
   which nothing else writes (the lines' output goes to standard output, where a last line without a line
   break would run into a report line), one UTF-8 line each, written whole as it happens:
       tryrun: exit=CODE                   a line's process ended with CODE (all 32 bits)
       tryrun: error=CODE TEXT             the Windows error that kept a line from starting, and its text
       tryrun: processes                   the lines' processes now running follow, until the next such line:
       tryrun: process=PID PARENT NAME/PARENTNAME   (PARENTNAME empty when the parent has ended)
       tryrun: input=PID                   the line's process PID waits for input that never comes
   A new list of processes is written whenever the list changes while a line runs, and once after the last
   line: so the last one names what ran when the run was ended from outside, or what the lines left running.
   Exits with 0, or with 1 when it was given no line or cannot write REPORT. */
#include "Runtime.h"

#include <tlhelp32.h>

/* How often the processes are looked at while a line runs. */
#define TICK_MS 500
/* A read into the never-answering input, seen this many ticks in a row, is a wait for input. */
#define INPUT_TICKS 2

static HANDLE report = INVALID_HANDLE_VALUE;

static void WriteLines(RtText *lines)
{
    if (lines->failed || !lines->length)
        return;
    uint8_t *bytes = RtAlloc(lines->length * 3);
    if (!bytes)
        return;
    DWORD written;
    WriteFile(report, bytes, (DWORD)RtUtf16ToUtf8(lines->chars, lines->length, bytes), &written, NULL);
    FlushFileBuffers(report);
    RtFree(bytes);
}

static void StartLine(RtText *lines, const char *key, DWORD value)
{
    RtText_AppendAscii(lines, "tryrun: ");
    RtText_AppendAscii(lines, key);
    RtText_AppendNumber(lines, value);
}

static void ReportNumber(const char *key, DWORD value)
{
    RtText line = {0};
    StartLine(&line, key, value);
    RtText_AppendChar(&line, '\n');
    WriteLines(&line);
    RtText_Free(&line);
}

static void ReportStartError(DWORD code)
{
    RtText line = {0};
    StartLine(&line, "error=", code);
    PwChar message[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0, message,
                                  sizeof message / sizeof *message, NULL);
    while (length && (message[length - 1] == '\r' || message[length - 1] == '\n' || message[length - 1] == ' '))
        --length;
    RtText_AppendChar(&line, ' ');
    RtText_Append(&line, message, length);
    RtText_AppendChar(&line, '\n');
    WriteLines(&line);
    RtText_Free(&line);
}

/* The processes of a snapshot, in an array that grows as they are read. */
typedef struct Processes {
    PROCESSENTRY32W *entries;
    size_t count, capacity;
} Processes;

static int ReadProcesses(Processes *processes)
{
    processes->count = 0;
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

static const PROCESSENTRY32W *Find(const Processes *processes, DWORD id)
{
    for (size_t i = 0; i < processes->count; ++i)
        if (processes->entries[i].th32ProcessID == id)
            return &processes->entries[i];
    return NULL;
}

static int IsStarted(const DWORD *started, size_t count, DWORD id)
{
    for (size_t i = 0; i < count; ++i)
        if (started[i] == id)
            return 1;
    return 0;
}

/* The list of the lines' processes now running. Windows keeps no tree: a process whose parent has ended
   keeps the ended parent's id, so the lines' processes are found the other way round. Every process of
   `before` (this program, Wine's services, its desktop) belongs to the system, and so does a new process
   whose parent does, except the ones the lines started: the services Wine starts on demand. What is new
   and not the system's came from the lines. */
static void ListRunning(const Processes *before, const DWORD *started, size_t startedCount, RtText *list)
{
    Processes now = {0};
    char *system = NULL;
    RtText_AppendAscii(list, "tryrun: processes\n");
    if (ReadProcesses(&now) && (system = RtAlloc(now.count + 1))) {
        for (size_t i = 0; i < now.count; ++i)
            system[i] = Find(before, now.entries[i].th32ProcessID) != NULL;
        for (int grew = 1; grew;) {
            grew = 0;
            for (size_t i = 0; i < now.count; ++i) {
                const PROCESSENTRY32W *entry = &now.entries[i];
                if (system[i] || IsStarted(started, startedCount, entry->th32ProcessID))
                    continue;
                for (size_t j = 0; j < now.count; ++j) {
                    if (system[j] && now.entries[j].th32ProcessID == entry->th32ParentProcessID) {
                        system[i] = grew = 1;
                        break;
                    }
                }
            }
        }
        for (size_t i = 0; i < now.count; ++i) {
            const PROCESSENTRY32W *entry = &now.entries[i];
            if (system[i] && !IsStarted(started, startedCount, entry->th32ProcessID))
                continue;
            const PROCESSENTRY32W *parent = Find(&now, entry->th32ParentProcessID);
            StartLine(list, "process=", entry->th32ProcessID);
            RtText_AppendChar(list, ' ');
            RtText_AppendNumber(list, entry->th32ParentProcessID);
            RtText_AppendChar(list, ' ');
            RtText_AppendZ(list, entry->szExeFile);
            RtText_AppendChar(list, '/');
            if (parent)
                RtText_AppendZ(list, parent->szExeFile);
            RtText_AppendChar(list, '\n');
        }
    }
    RtFree(system);
    RtFree(now.entries);
}

/* Writes the list of running processes when it differs from the one written last. */
static void ReportRunning(const Processes *before, const DWORD *started, size_t startedCount, RtText *last)
{
    RtText list = {0};
    ListRunning(before, started, startedCount, &list);
    if (!list.failed && (list.length != last->length || !RtEqualNoCase(list.chars, list.length, last->chars, last->length))) {
        WriteLines(&list);
        RtText_Free(last);
        *last = list;
        return;
    }
    RtText_Free(&list);
}

/* True when a thread of the process sits in NtReadFile. Its code is ntdll's, mapped at one address in every
   process, so the instruction pointer of a suspended thread tells; the only read that never ends is the one
   of the input nobody writes into. */
static int ReadsForEver(DWORD processId, const BYTE *ntReadFile)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE || !ntReadFile)
        return 0;
    int reading = 0;
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more && !reading; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId)
            continue;
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, entry.th32ThreadID);
        if (!thread)
            continue;
        CONTEXT context;
        context.ContextFlags = CONTEXT_CONTROL;
        if (SuspendThread(thread) != (DWORD)-1) {
            if (GetThreadContext(thread, &context)) {
#ifdef _WIN64
                const BYTE *at = (const BYTE *)context.Rip;
#else
                const BYTE *at = (const BYTE *)context.Eip;
#endif
                reading = at >= ntReadFile && at < ntReadFile + 32;
            }
            ResumeThread(thread);
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return reading;
}

typedef struct Run {
    Processes before;
    DWORD *started;
    size_t count;
    RtText lastList;
    HANDLE input;  /* the read end of the pipe nobody writes into */
    const BYTE *ntReadFile;
} Run;

/* Runs one line and reports how it ended; its process's id goes into the started list. */
static void RunLine(Run *run, PwChar *line)
{
    STARTUPINFOW startup = {0};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = run->input;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, line, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process)) {
        run->started[run->count++] = 0;
        ReportStartError(GetLastError());
        return;
    }
    CloseHandle(process.hThread);
    run->started[run->count++] = process.dwProcessId;
    int reading = 0;
    while (WaitForSingleObject(process.hProcess, TICK_MS) == WAIT_TIMEOUT) {
        ReportRunning(&run->before, run->started, run->count, &run->lastList);
        reading = ReadsForEver(process.dwProcessId, run->ntReadFile) ? reading + 1 : 0;
        if (reading == INPUT_TICKS)
            ReportNumber("input=", process.dwProcessId);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    ReportNumber("exit=", code);
}

static int OpenReport(const PwChar **cursor)
{
    RtText path = {0};
    *cursor = RtCmd_NextArgument(*cursor, &path);
    if (*cursor && !path.failed)
        report = CreateFileW(path.chars, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             NULL);
    RtText_Free(&path);
    return report != INVALID_HANDLE_VALUE;
}

int AppMain(void)
{
    const PwChar *cursor = RtCmd_SkipProgramName(GetCommandLineW());
    if (!OpenReport(&cursor))
        return 1;
    /* Wine starts its desktop process for the first program that needs the desktop; asking for it here
       makes that process this program's, not one the lines seem to have left behind. */
    GetDesktopWindow();
    Run run = {0};
    ReadProcesses(&run.before);
    run.ntReadFile = (const BYTE *)GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtReadFile");
    /* The lines' output goes where this program's goes, through handles they inherit. */
    SetHandleInformation(GetStdHandle(STD_OUTPUT_HANDLE), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    SetHandleInformation(GetStdHandle(STD_ERROR_HANDLE), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    HANDLE write = NULL;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
    if (!CreatePipe(&run.input, &write, &inherited, 0) || !SetHandleInformation(write, HANDLE_FLAG_INHERIT, 0))
        run.input = NULL;

    /* A command line holds fewer arguments than half its 32767 characters. */
    run.started = RtAlloc(16384 * sizeof *run.started);
    RtText line = {0};
    while (run.started && (cursor = RtCmd_NextArgument(cursor, &line)) != NULL) {
        if (!line.failed && line.length)
            RunLine(&run, line.chars);
        RtText_Free(&line);
    }
    if (run.count) {
        RtText_Free(&run.lastList);
        ReportRunning(&run.before, run.started, run.count, &run.lastList);
    } else {
        ReportStartError(ERROR_INVALID_PARAMETER);
    }
    RtText_Free(&run.lastList);
    RtFree(run.started);
    RtFree(run.before.entries);
    CloseHandle(report);
    return run.count ? 0 : 1;
}
