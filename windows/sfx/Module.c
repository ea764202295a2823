#include "Module.h"

#include "Command.h"

void Installer_Fail(Installer *installer, const char *text, const PwChar *detail, DWORD code)
{
    RtText line = {0};
    RtText_AppendFailure(&line, text, detail, code);
    RtReport(RtText_Z(&line));
    /* The first failure is the cause; what follows it is its consequence. */
    if (!installer->failure.length)
        RtText_AppendZ(&installer->failure, RtText_Z(&line));
    RtText_Free(&line);
}

void Installer_ShowFailure(const Installer *installer)
{
    /* Before the block is read nobody has asked for silence: the window closes by itself either way. */
    if (!installer->failure.length || (installer->configRead && installer->config.hidden))
        return;
    const PwChar *self = RtText_Z(&installer->self);
    size_t folderLength = RtFolderLength(self);
    ShowMessage(self + folderLength + (folderLength < installer->self.length), RtText_Z(&installer->failure));
}

static DWORD RunCommand(Installer *installer, DWORD *exitCode)
{
    SfxCommand command;
    const PwChar *runProgram = installer->config.runProgram;
    SfxCommandResult made = SfxCommand_Make(runProgram, &installer->extracted, RtText_Z(&installer->folder), &command);
    DWORD error = 0;
    *exitCode = 0;
    switch (made) {
    case SFX_COMMAND_OK: {
        RtProcess process = {command.application.chars, command.commandLine.chars, RtText_Z(&installer->folder), 0};
        error = RtRun(&process, exitCode);
        if (error)
            Installer_Fail(installer, "cannot run", command.commandLine.chars, error);
        break;
    }
    case SFX_COMMAND_EMPTY:
        error = ERROR_BAD_FORMAT;
        Installer_Fail(installer, "the configuration block names no program to run", NULL, error);
        break;
    case SFX_COMMAND_NO_RUNNER:
        error = ERROR_FILE_NOT_FOUND;
        Installer_Fail(installer, "the archive lacks the runner that the command names", runProgram, error);
        break;
    case SFX_COMMAND_NO_FILE:
        error = ERROR_FILE_NOT_FOUND;
        Installer_Fail(installer, "the command names no file that the archive holds", runProgram, error);
        break;
    default:
        error = ERROR_NOT_ENOUGH_MEMORY;
        Installer_Fail(installer, "cannot make the command", NULL, error);
        break;
    }
    SfxCommand_Free(&command);
    return error;
}

int AppMain(void)
{
    Installer installer = {0};
    installer.file = INVALID_HANDLE_VALUE;
    RtLog_Start();
    DWORD exitCode = 0;
    DWORD error = Installer_ReadPayload(&installer);
    if (!error)
        error = Installer_CreateFolder(&installer);
    if (!error) {
        error = Installer_Extract(&installer);
        if (!error)
            error = RunCommand(&installer, &exitCode);
        /* The program has installed itself, or failed: its shortcuts are made either way, since an exit code
           other than 0 may mean only that a restart is due. */
        if (!error)
            Installer_MakeShortcuts(&installer);
        Installer_RemoveFolder(&installer);
    }
    /* Only now, with nothing of the installer's left in %TEMP%, may a window hold the process a while. */
    Installer_ShowFailure(&installer);
    return (int)(error ? error : exitCode);
}
