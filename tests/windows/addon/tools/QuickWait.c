/* The runtime's RtRun as the runners and the self-extractor use it, built with the figures of its wait for
   what a command leaves running cut from minutes to seconds (CMakeLists.txt gives them), so that a test
   sees that wait end without taking minutes.
       quickwait.exe COMMAND-LINE
   Runs the command line, logs as the add-on's programs log, and exits with its exit code. */
#include "Runtime.h"

int AppMain(void)
{
    RtLog_Start();
    RtText command = {0};
    RtText_AppendZ(&command, RtCmd_SkipProgramName(GetCommandLineW()));
    if (!command.length || command.failed)
        return ERROR_BAD_ARGUMENTS;
    RtProcess process = {NULL, command.chars, NULL, 0};
    DWORD exitCode;
    DWORD error = RtRun(&process, &exitCode);
    return (int)(error ? error : exitCode);
}
