#include "Runtime.h"

/* A job with a completion port tells when the last process in it has ended: an installer that hands its
   work to a child and exits at once is waited for until that child, and the child's children, are done. */
typedef struct Job {
    HANDLE job;
    HANDLE port;
} Job;

static int Job_Open(Job *job)
{
    job->job = CreateJobObjectW(NULL, NULL);
    job->port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, NULL, 0, 1);
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT link = {job->job, job->port};
    if (!job->job || !job->port
        || !SetInformationJobObject(job->job, JobObjectAssociateCompletionPortInformation, &link, sizeof link))
        return 0;
    /* A process that asks to leave the job may: without this its CreateProcess would fail, and so might the
       installation. It is then not waited for, as it asked. */
    JOBOBJECT_BASIC_LIMIT_INFORMATION limits = {0};
    limits.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
    SetInformationJobObject(job->job, JobObjectBasicLimitInformation, &limits, sizeof limits);
    return 1;
}

static void Job_Close(Job *job)
{
    if (job->port)
        CloseHandle(job->port);
    if (job->job)
        CloseHandle(job->job);
}

static DWORD ActiveProcesses(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info;
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, NULL))
        return 0;
    return info.ActiveProcesses;
}

static void Job_WaitUntilEmpty(Job *job)
{
    for (;;) {
        DWORD message;
        ULONG_PTR key;
        LPOVERLAPPED data;
        /* The port may drop a message when it overflows: every second the job is asked directly as well. */
        if (GetQueuedCompletionStatus(job->port, &message, &key, &data, 1000)) {
            if ((HANDLE)key == job->job && message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO)
                return;
        } else if (ActiveProcesses(job->job) == 0) {
            return;
        }
    }
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
    PROCESS_INFORMATION info;
    if (!CreateProcessW(process->application, process->commandLine, NULL, NULL, FALSE, flags, NULL,
                        process->folder, &startup, &info)) {
        DWORD error = GetLastError();
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
        Job_WaitUntilEmpty(&job);
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
