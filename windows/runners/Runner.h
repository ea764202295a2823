/* What the three runners share. Each is started as "RUNNER FILE [ARGS]": by the self-extractor, which
   quotes FILE, or by Windows setup from the add-on's entries file, which writes FILE as it stands, blanks and
   all. So FILE is the quoted first argument, or else the longest run of words that names an existing file;
   it is looked for in the working folder first, then beside the runner. */
#ifndef PW_RUNNERS_RUNNER_H
#define PW_RUNNERS_RUNNER_H

#include "Runtime.h"

typedef struct RunnerStart {
    RtText file;        /* full path of FILE */
    const PwChar *args; /* what follows FILE on the command line, as it stands */
} RunnerStart;

/* Starts the log and reads the command line. Returns 0, or the code the runner exits with: FILE is missing
   or names no file (ERROR_FILE_NOT_FOUND), or memory ran out. */
DWORD Runner_Start(RunnerStart *start);

#endif
