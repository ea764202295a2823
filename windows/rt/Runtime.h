/* What the Windows programs have instead of a C runtime: the entry point, memory, wide text and command
   lines (portable, in Text.h and CommandLine.h), and the Windows services every program needs: paths, error
   texts, the shared log, and running a process until it and everything it started have ended. */
#ifndef PW_RT_RUNTIME_H
#define PW_RT_RUNTIME_H
#include <windows.h>

#include "CommandLine.h"
#include "Text.h"

/* Each program defines this; its result is the process's exit code. */
int AppMain(void);

/* The full path of the running program's file. 0 when it cannot be had. */
int RtModulePath(RtText *path);
/* The length of path's folder part: everything before its last backslash. */
size_t RtFolderLength(const PwChar *path);
/* The system folder followed by "\" and name: programs the runners start come from there, never from PATH. */
int RtSystemFile(RtText *path, const PwChar *name);
int RtIsFile(const PwChar *path);
/* Appends the system's text for a Windows error code, followed by its number. */
void RtText_AppendError(RtText *text, DWORD code);

/* The log that the self-extractor and the runners share, "packwright-addon.log" in the temporary folder:
   whoever debugs an unattended installation finds there what ran, where, and how it ended. It is started
   afresh when it has grown past a few dozen kilobytes, so it never grows without bound across runs. It is
   never written through a link: a log that is not a plain file of one name is left alone, unwritten. */
void RtLog_Start(void);
void RtLog_Line(const PwChar *text);
/* Appends "text: detail: <the error's text> (error N)"; detail and the error only when given (not NULL, not
   0). The texts of failures are ASCII: it halves their room in the programs. */
void RtText_AppendFailure(RtText *line, const char *text, const PwChar *detail, DWORD code);
/* Logs a line and prints it to the console this program was started from, if any. */
void RtReport(const PwChar *line);
/* Reports a failure composed as RtText_AppendFailure composes it. */
void RtLog_Failure(const char *text, const PwChar *detail, DWORD code);

typedef struct RtProcess {
    const PwChar *application; /* NULL: the first word of commandLine, searched for as CreateProcess does */
    PwChar *commandLine;       /* CreateProcess may write into it */
    const PwChar *folder;      /* working folder; NULL: this program's */
    int hidden;                /* no window, no console */
} RtProcess;

/* Starts the process with an empty standard input (NUL), waits until it and every process it started have
   ended (or, once it has ended itself, until what it left behind sits idle or has been waited for as long as
   anything is), and gives its exit code.
   Returns 0, or the Windows error that kept the process from starting. Logs the command and its outcome. */
DWORD RtRun(const RtProcess *process, DWORD *exitCode);

#endif
