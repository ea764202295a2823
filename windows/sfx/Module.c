#include "Module.h"

#include "Command.h"

void Installer_Fail(const Installer *installer, const char *text, const PwChar *detail, DWORD code)
{
    RtText line = {0};
    RtText_AppendFailure(&line, text, detail, code);
    RtReport(RtText_Z(&line));
    /* Before the block is read nobody has asked for silence: the window closes by itself either way. */
    if (!installer->configRead || !installer->config.hidden) {
        const PwChar *self = RtText_Z(&installer->self);
        size_t folderLength = RtFolderLength(self);
        ShowMessage(self + folderLength + (folderLength < installer->self.length), RtText_Z(&line));
    }
    RtText_Free(&line);
}

static DWORD RunCommand(Installer *installer, DWORD *exitCode)
{
    SfxCommand command;
    SfxCommandResult made = SfxCommand_Make(installer->config.runProgram, &installer->extracted,
                                            RtText_Z(&installer->folder), &command);
    DWORD error = 0;
    *exitCode = 0;
    if (made == SFX_COMMAND_EMPTY) {
        RtLog_Line(u"the configuration names no program to run");
    } else if (made == SFX_COMMAND_NO_RUNNER) {
        error = ERROR_FILE_NOT_FOUND;
        Installer_Fail(installer, "the archive lacks the runner that the command names", installer->config.runProgram,
                       error);
    } else if (made == SFX_COMMAND_MEMORY) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        Installer_Fail(installer, "cannot make the command", NULL, error);
    } else {
        RtProcess process = {command.application.length ? command.application.chars : NULL,
                             command.commandLine.chars, RtText_Z(&installer->folder), 0};
        error = RtRun(&process, exitCode);
        if (error)
            Installer_Fail(installer, "cannot run", command.commandLine.chars, error);
    }
    SfxCommand_Free(&command);
    return error;
}

int AppMain(void)
{
    Installer installer = {0};
    installer.file = INVALID_HANDLE_VALUE;
    RtLog_Start();
    DWORD error = Installer_ReadPayload(&installer);
    if (!error)
        error = Installer_CreateFolder(&installer);
    if (error)
        return (int)error;

    DWORD exitCode = 0;
    error = Installer_Extract(&installer);
    if (!error)
        error = RunCommand(&installer, &exitCode);
    /* The program has installed itself, or failed: its shortcuts are made either way, since an exit code
       other than 0 may mean only that a restart is due. */
    if (!error)
        Installer_MakeShortcuts(&installer);
    Installer_RemoveFolder(&installer);
    return (int)(error ? error : exitCode);
}
