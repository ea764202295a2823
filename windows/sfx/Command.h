/* The command the module runs after extraction, made from the block's RunProgram. Portable C. */
#ifndef PW_SFX_COMMAND_H
#define PW_SFX_COMMAND_H

#include "Names.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum SfxCommandResult {
    SFX_COMMAND_OK = 0,
    SFX_COMMAND_EMPTY,     /* RunProgram is missing or blank: nothing to run */
    SFX_COMMAND_NO_RUNNER, /* it names a runner that the archive does not hold */
    SFX_COMMAND_NO_FILE,   /* its start names no file that the archive holds */
    SFX_COMMAND_MEMORY
} SfxCommandResult;

typedef struct SfxCommand {
    RtText application; /* full path of the extracted program that the command starts */
    RtText commandLine;
} SfxCommand;

/* Makes the command line from runProgram. A first word "msistub", "batchrunner" or "infrunner" stands for
   that runner's .exe at the top of the archive. Otherwise the start file is the longest leading part of the
   command that names an extracted file (so an unquoted name with blanks still runs) and gets its full path
   in folder, quoted; a runner's own first argument, the file it runs, is found the same way and quoted. The
   program is always an extracted file, started by its full path: a command whose start names none would
   run whatever Windows' search finds (a file beside the installer, one on the PATH), so it is refused. */
SfxCommandResult SfxCommand_Make(const PwChar *runProgram, const SfxNames *extracted, const PwChar *folder,
                                 SfxCommand *command);
void SfxCommand_Free(SfxCommand *command);

#ifdef __cplusplus
}
#endif

#endif
