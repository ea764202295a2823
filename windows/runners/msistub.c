/* msistub FILE [ARGS]: installs the Windows Installer package FILE through the system's msiexec, as
   msiexec /i "<full path of FILE>" ARGS /qn REBOOT=ReallySuppress, and exits with msiexec's code; a restart
   request (3010, 1641) is no failure of the installation and exits with 0.

   Nobody answers a window during Windows setup, and Windows Installer's own interface asks: its basic
   interface (the /qb-! that add-ons pass) shows an error, or the question whether to restart, in a box that
   waits. So the interface switches of ARGS (/q..., /passive) give way to /qn, and the restart is left to
   Windows setup unless ARGS decide it themselves. */
#include "Runner.h"

static int StartsWith(const RtText *argument, const char *prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= argument->length || RtFoldCase(argument->chars[i]) != RtFoldCase((PwChar)prefix[i]))
            return 0;
    return 1;
}

static int IsInterfaceSwitch(const RtText *argument)
{
    return StartsWith(argument, "/Q") || StartsWith(argument, "-Q") || StartsWith(argument, "/PASSIVE")
        || StartsWith(argument, "-PASSIVE");
}

static int DecidesRestart(const RtText *argument)
{
    return StartsWith(argument, "REBOOT=") || StartsWith(argument, "/NORESTART") || StartsWith(argument, "/FORCERESTART")
        || StartsWith(argument, "/PROMPTRESTART");
}

/* Appends ARGS, each argument as it was written, without the interface switches. ARGS are split as msiexec
   splits them, where a backslash is a plain character: INSTALLDIR=C:\App\ and INSTALLDIR="C:\App\" both end
   where their blank or their second quote says, and the switch after them is seen. */
static void AppendArguments(RtText *command, const PwChar *args)
{
    int restartDecided = 0;
    for (const PwChar *p = args;;) {
        while (RtIsBlank(*p))
            ++p;
        RtText argument = {0};
        const PwChar *next = RtCmd_NextPlainArgument(p, &argument);
        if (!next)
            break;
        restartDecided |= DecidesRestart(&argument);
        if (!IsInterfaceSwitch(&argument)) {
            RtText_AppendChar(command, ' ');
            RtText_Append(command, p, (size_t)(next - p));
        }
        RtText_Free(&argument);
        p = next;
    }
    RtText_AppendAscii(command, restartDecided ? " /qn" : " /qn REBOOT=ReallySuppress");
}

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
    AppendArguments(&command, start.args);
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
