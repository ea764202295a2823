#include "Job.h"
#include "Runtime.h"

/* The command's standard handles. Its input reads as empty: a batch file's "pause" or "set /p", or a console
   installer's "press any key", would otherwise wait for ever on a console that nobody sees during Windows
   setup. Its output and errors go where this program's own go, or nowhere when it has none. CreateProcess
   hands them on only when they are inheritable. */
typedef struct StandardHandles {
    HANDLE input, output, error;
} StandardHandles;

static HANDLE OpenNul(DWORD access)
{
    /* Filled in field by field: an initialiser would cost the programs a data section of its own. */
    SECURITY_ATTRIBUTES inheritable;
    inheritable.nLength = sizeof inheritable;
    inheritable.lpSecurityDescriptor = NULL;
    inheritable.bInheritHandle = TRUE;
    return CreateFileW(u"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, NULL);
}

static HANDLE InheritableOutput(DWORD which)
{
    HANDLE own = GetStdHandle(which), copy;
    if (own && own != INVALID_HANDLE_VALUE
        && DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS))
        return copy;
    return OpenNul(GENERIC_WRITE);
}

/* 0 when not even NUL can be opened: the command then starts with the handles Windows gives it. */
static int Standard_Open(StandardHandles *handles)
{
    handles->input = OpenNul(GENERIC_READ);
    handles->output = handles->error = INVALID_HANDLE_VALUE;
    if (handles->input == INVALID_HANDLE_VALUE) {
        RtLog_Failure("cannot open NUL", NULL, GetLastError());
        return 0;
    }
    handles->output = InheritableOutput(STD_OUTPUT_HANDLE);
    handles->error = InheritableOutput(STD_ERROR_HANDLE);
    return 1;
}

static void Standard_Close(const StandardHandles *handles)
{
    const HANDLE all[] = {handles->input, handles->output, handles->error};
    for (size_t i = 0; i < sizeof all / sizeof *all; ++i)
        if (all[i] != INVALID_HANDLE_VALUE)
            CloseHandle(all[i]);
}

static void LogCommand(const RtProcess *process)
{
    RtText line = {0};
    RtText_AppendAscii(&line, "run: ");
    RtText_AppendZ(&line, process->commandLine);
    if (process->folder) {
        RtText_AppendAscii(&line, "  (in ");
        RtText_AppendZ(&line, process->folder);
        RtText_AppendChar(&line, ')');
    }
    RtLog_Line(RtText_Z(&line));
    RtText_Free(&line);
}

DWORD RtRun(const RtProcess *process, DWORD *exitCode)
{
    LogCommand(process);
    /* Wine starts its desktop process when a program first needs the desktop, as that program's child. A
       child in the job would take it into the job, and the job would never empty: this program asks first. */
    GetDesktopWindow();
    STARTUPINFOW startup = {0};
    startup.cb = sizeof startup;
    DWORD flags = CREATE_SUSPENDED;
    if (process->hidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        flags |= CREATE_NO_WINDOW;
    }
    StandardHandles standard;
    int redirected = Standard_Open(&standard);
    if (redirected) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = standard.input;
        startup.hStdOutput = standard.output;
        startup.hStdError = standard.error;
    }
    PROCESS_INFORMATION info;
    BOOL started = CreateProcessW(process->application, process->commandLine, NULL, NULL, redirected, flags, NULL,
                                  process->folder, &startup, &info);
    DWORD error = started ? 0 : GetLastError();
    Standard_Close(&standard);
    if (!started) {
        RtLog_Failure("could not start the command", NULL, error);
        return error;
    }
    Job job = {0};
    /* Windows before 8 puts a process in one job at most: when this program already runs in one, the
       assignment fails and only the process itself can be waited for. */
    int tree = Job_Open(&job) && AssignProcessToJobObject(job.job, info.hProcess);
    if (!tree)
        RtLog_Line(u"the command runs outside a job: only its own process is waited for");
    ResumeThread(info.hThread);
    if (tree)
        Job_WaitUntilEmpty(&job, info.hProcess);
    WaitForSingleObject(info.hProcess, INFINITE);
    GetExitCodeProcess(info.hProcess, exitCode);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    Job_Close(&job);

    RtText line = {0};
    RtText_AppendAscii(&line, "exit code ");
    RtText_AppendNumber(&line, *exitCode);
    RtLog_Line(RtText_Z(&line));
    RtText_Free(&line);
    return 0;
}
