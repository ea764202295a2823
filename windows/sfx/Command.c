#include "Command.h"

#include "CommandLine.h"

#include <string.h>

static const PwChar *const kRunners[] = {u"msistub", u"batchrunner", u"infrunner"};

static int IsExtracted(void *context, const PwChar *name, size_t length)
{
    return SfxNames_Contains(context, name, length);
}

/* The runner's file name when word names one, with or without ".exe". */
static int RunnerName(const PwChar *word, size_t length, RtText *exe)
{
    for (size_t i = 0; i < sizeof kRunners / sizeof *kRunners; ++i) {
        RtText_AppendZ(exe, kRunners[i]);
        RtText_AppendAscii(exe, ".exe");
        if (RtEqualNoCase(word, length, exe->chars, exe->length)
            || RtEqualNoCase(word, length, exe->chars, exe->length - 4))
            return 1;
        RtText_Free(exe);
    }
    return 0;
}

/* Appends the full path of the extracted file name, quoted, as the program of the command line. */
static void SetProgram(SfxCommand *command, const PwChar *folder, const PwChar *name, size_t length)
{
    RtText_Append(&command->application, folder, RtLength(folder));
    RtText_AppendChar(&command->application, '\\');
    RtText_Append(&command->application, name, length);
    RtCmd_AppendQuoted(&command->commandLine, RtText_Z(&command->application), command->application.length);
}

static void AppendRest(RtText *commandLine, const PwChar *rest)
{
    if (*rest) {
        RtText_AppendChar(commandLine, ' ');
        RtText_AppendZ(commandLine, rest);
    }
}

SfxCommandResult SfxCommand_Make(const PwChar *runProgram, const SfxNames *extracted, const PwChar *folder,
                                 SfxCommand *command)
{
    memset(command, 0, sizeof *command);
    const PwChar *p = runProgram ? runProgram : u"";
    while (RtIsBlank(*p))
        ++p;
    if (!*p)
        return SFX_COMMAND_EMPTY;
    size_t wordLength = 0;
    while (p[wordLength] && !RtIsBlank(p[wordLength]))
        ++wordLength;

    RtText runner = {0}, file = {0};
    int known;
    if (RunnerName(p, wordLength, &runner)) {
        if (!SfxNames_Contains(extracted, runner.chars, runner.length)) {
            RtText_Free(&runner);
            return SFX_COMMAND_NO_RUNNER;
        }
        SetProgram(command, folder, runner.chars, runner.length);
        const PwChar *rest = RtCmd_LeadingFile(p + wordLength, IsExtracted, (void *)extracted, &file, &known);
        if (file.length) {
            RtText_AppendChar(&command->commandLine, ' ');
            RtCmd_AppendQuoted(&command->commandLine, RtText_Z(&file), file.length);
        }
        AppendRest(&command->commandLine, rest);
    } else {
        const PwChar *rest = RtCmd_LeadingFile(p, IsExtracted, (void *)extracted, &file, &known);
        if (!known) {
            RtText_Free(&file);
            return SFX_COMMAND_NO_FILE;
        }
        SetProgram(command, folder, RtText_Z(&file), file.length);
        AppendRest(&command->commandLine, rest);
    }
    int failed = runner.failed || file.failed || command->application.failed || command->commandLine.failed;
    RtText_Free(&runner);
    RtText_Free(&file);
    return failed ? SFX_COMMAND_MEMORY : SFX_COMMAND_OK;
}

void SfxCommand_Free(SfxCommand *command)
{
    RtText_Free(&command->application);
    RtText_Free(&command->commandLine);
}
