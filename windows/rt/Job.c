#include "Job.h"

#include "Runtime.h"

/* A job with a completion port tells when the last process in it has ended: an installer that hands its
   work to a child and exits at once is waited for until that child, and the child's children, are done. */
int Job_Open(Job *job)
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

void Job_Close(Job *job)
{
    if (job->port)
        CloseHandle(job->port);
    if (job->job)
        CloseHandle(job->job);
}

/* Once the command's own process has ended, what is left in the job is waited for only while it works: a
   program the installer started to stay (a tray icon, an updater, a "launch now" choice) would otherwise hold
   Windows setup for ever. Two minutes in which the whole job used less than a second of processor time count
   as "left running on purpose"; and however busy it keeps, it is waited for half an hour at most. Both are
   elapsed time: a leftover that keeps starting short-lived processes fills the port with messages but does
   not lengthen the wait.
   The tests build the runtime with shorter figures (compile-time only: the shipped programs have no way to
   change them). */
#ifndef PW_LEFTOVER_IDLE_MS
#define PW_LEFTOVER_IDLE_MS (2 * 60 * 1000)
#endif
#ifndef PW_LEFTOVER_LIMIT_MS
#define PW_LEFTOVER_LIMIT_MS (30 * 60 * 1000)
#endif
#define IDLE_PROCESSOR_TIME 10000000 /* 100 ns units: one second */
/* How often the job is asked directly: the port may drop a message when it overflows. */
#define LOOK_INTERVAL_MS 1000

/* What the job has left running once the command's own process has ended. Times are GetTickCount values,
   compared by their unsigned difference, which stays right when the count wraps after 49.7 days. */
typedef struct Leftovers {
    int started;       /* the command's own process has ended */
    DWORD since;       /* when it was seen to have ended */
    DWORD idleSince;   /* when the job last used up a second of processor time */
    LONGLONG busyMark; /* the job's processor time then */
} Leftovers;

/* Looks at the job; says whether the wait is over. */
static int Look(Job *job, HANDLE command, Leftovers *left, DWORD now)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info;
    if (!QueryInformationJobObject(job->job, JobObjectBasicAccountingInformation, &info, sizeof info, NULL)
        || info.ActiveProcesses == 0)
        return 1;
    LONGLONG used = info.TotalUserTime.QuadPart + info.TotalKernelTime.QuadPart;
    if (!left->started) {
        if (WaitForSingleObject(command, 0) != WAIT_OBJECT_0)
            return 0;
        left->started = 1;
        left->since = left->idleSince = now;
        left->busyMark = used;
        return 0;
    }
    if (used - left->busyMark >= IDLE_PROCESSOR_TIME) {
        left->busyMark = used;
        left->idleSince = now;
    } else if (now - left->idleSince >= PW_LEFTOVER_IDLE_MS) {
        RtLog_Line(u"the command has ended; what it left running is idle and is left to run");
        return 1;
    }
    if (now - left->since >= PW_LEFTOVER_LIMIT_MS) {
        RtLog_Line(u"the command has ended; what it left running is left to run after the longest wait");
        return 1;
    }
    return 0;
}

void Job_WaitUntilEmpty(Job *job, HANDLE command)
{
    Leftovers left = {0};
    DWORD lastLook = GetTickCount();
    for (;;) {
        DWORD message;
        ULONG_PTR key;
        LPOVERLAPPED data;
        if (GetQueuedCompletionStatus(job->port, &message, &key, &data, LOOK_INTERVAL_MS)) {
            if ((HANDLE)key == job->job && message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO)
                return;
            /* A stream of messages must not keep the job from being looked at. */
            if (GetTickCount() - lastLook < LOOK_INTERVAL_MS)
                continue;
        }
        lastLook = GetTickCount();
        if (Look(job, command, &left, lastLook))
            return;
    }
}
