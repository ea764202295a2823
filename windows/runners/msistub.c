/* msistub FILE [ARGS]: installs the Windows Installer package FILE through the system's msiexec, as
   msiexec /i "<full path of FILE>" ARGS, and exits with msiexec's code; a restart request (3010, 1641) is no
   failure of the installation and exits with 0. */
#include "Runner.h"

int AppMain(void)
{
    RunnerStart start;
    DWORD error = Runner_Start(&start);
    if (error)
        return (int)error;
    RtText msiexec = {0}, command = {0};
    if (!RtSystemFile(&msiexec, u"msiexec.exe"))
        return ERROR_NOT_ENOUGH_MEMORY;
    RtCmd_AppendQuoted(&command, RtText_Z(&msiexec), msiexec.length);
    RtText_AppendAscii(&command, " /i ");
    RtCmd_AppendQuoted(&command, RtText_Z(&start.file), start.file.length);
    if (*start.args) {
        RtText_AppendChar(&command, ' ');
        RtText_AppendZ(&command, start.args);
    }
    if (command.failed)
        return ERROR_NOT_ENOUGH_MEMORY;

    RtProcess process = {RtText_Z(&msiexec), command.chars, NULL, 0};
    DWORD exitCode;
    error = RtRun(&process, &exitCode);
    if (error)
        return (int)error;
    if (exitCode == ERROR_SUCCESS_REBOOT_REQUIRED || exitCode == ERROR_SUCCESS_REBOOT_INITIATED) {
        RtLog_Line(u"the package asks for a restart: the installation succeeded");
        return 0;
    }
    return (int)exitCode;
}
