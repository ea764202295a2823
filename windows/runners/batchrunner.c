/* batchrunner FILE [ARGS] [hidcon]: runs the batch file FILE through the system's command processor and
   exits with its code. With "hidcon" as the last word the console stays hidden. */
#include "Runner.h"

int AppMain(void)
{
    RunnerStart start;
    DWORD error = Runner_Start(&start);
    if (error)
        return (int)error;
    size_t argsLength = RtLength(start.args);
    int hidden = RtCmd_DropLastWord(start.args, &argsLength, u"hidcon");

    /* /s makes cmd drop exactly the outer pair of quotes, whatever the quoted path and arguments hold:
       cmd /d /s /c ""C:\my dir\setup.cmd" args". /d keeps the registry's AutoRun commands out. */
    RtText cmd = {0}, command = {0};
    if (!RtSystemFile(&cmd, u"cmd.exe"))
        return ERROR_NOT_ENOUGH_MEMORY;
    RtCmd_AppendQuoted(&command, RtText_Z(&cmd), cmd.length);
    RtText_AppendAscii(&command, " /d /s /c \"\"");
    RtText_AppendZ(&command, RtText_Z(&start.file));
    RtText_AppendChar(&command, '"');
    if (argsLength) {
        RtText_AppendChar(&command, ' ');
        RtText_Append(&command, start.args, argsLength);
    }
    RtText_AppendChar(&command, '"');
    if (command.failed)
        return ERROR_NOT_ENOUGH_MEMORY;

    /* The batch file's own folder (with its backslash, which a drive's root needs) is its working folder,
       as when it is opened from Explorer. */
    RtText folder = {0};
    RtText_Append(&folder, RtText_Z(&start.file), RtFolderLength(RtText_Z(&start.file)) + 1);
    RtProcess process = {RtText_Z(&cmd), command.chars, RtText_Z(&folder), hidden};
    DWORD exitCode;
    error = RtRun(&process, &exitCode);
    return (int)(error ? error : exitCode);
}
