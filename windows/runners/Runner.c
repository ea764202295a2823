#include "Runner.h"

typedef struct Search {
    RtText runnerFolder;
    RtText found; /* full path of the accepted candidate */
} Search;

static int IsAbsolute(const PwChar *name, size_t length)
{
    return (length >= 2 && name[1] == ':') || (length >= 1 && name[0] == '\\');
}

/* Accepts name when it names a file in the working folder or beside the runner, keeping its full path. */
static int FindFile(void *context, const PwChar *name, size_t length)
{
    Search *search = context;
    RtText candidate = {0};
    RtText_Append(&candidate, name, length);
    PwChar full[MAX_PATH];
    DWORD fullLength = GetFullPathNameW(RtText_Z(&candidate), MAX_PATH, full, NULL);
    RtText_Free(&search->found);
    if (fullLength && fullLength < MAX_PATH && RtIsFile(full)) {
        RtText_Append(&search->found, full, fullLength);
    } else if (!IsAbsolute(name, length)) {
        RtText_AppendPath(&search->found, RtText_Z(&search->runnerFolder), search->runnerFolder.length, name,
                          length);
        if (!RtIsFile(RtText_Z(&search->found)))
            RtText_Free(&search->found);
    }
    RtText_Free(&candidate);
    return search->found.length > 0;
}

DWORD Runner_Start(RunnerStart *start)
{
    RtLog_Start();
    const PwChar *commandLine = GetCommandLineW();
    RtText line = {0};
    RtText_AppendAscii(&line, "started as: ");
    RtText_AppendZ(&line, commandLine);
    RtLog_Line(RtText_Z(&line));
    RtText_Free(&line);

    Search search = {0};
    if (RtModulePath(&search.runnerFolder))
        RtText_Truncate(&search.runnerFolder, RtFolderLength(RtText_Z(&search.runnerFolder)));
    RtText named = {0};
    int known;
    start->args = RtCmd_LeadingFile(RtCmd_SkipProgramName(commandLine), FindFile, &search, &named, &known);
    DWORD error = 0;
    if (search.runnerFolder.failed || named.failed || search.found.failed) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        RtLog_Failure("cannot read the command line", NULL, error);
    } else if (!known) {
        error = ERROR_FILE_NOT_FOUND;
        RtLog_Failure(named.length ? "no such file in the working folder or beside the runner"
                                   : "no file named on the command line",
                      named.length ? named.chars : NULL, error);
    }
    start->file = search.found;
    RtText_Free(&search.runnerFolder);
    RtText_Free(&named);
    return error;
}
