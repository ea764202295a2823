// The command the module makes from RunProgram, against the names of the items it extracted.
#include "Command.h"

#include "SfxTestSupport.h"
#include "windows/WideText.h"

#include <gtest/gtest.h>

using namespace pw;
using namespace pwtest;

namespace {

struct Extracted {
    SfxNames names{};
    Extracted(std::initializer_list<const char16_t*> files)
    {
        for (const char16_t* file : files)
            SfxNames_Add(&names, W(file), RtLength(W(file)));
    }
    Extracted(const Extracted&) = delete;
    Extracted& operator=(const Extracted&) = delete;
    ~Extracted() { SfxNames_Free(&names); }

    SfxCommandResult result;
    std::string application;
    std::string Make(const char16_t* runProgram)
    {
        SfxCommand command;
        result = SfxCommand_Make(runProgram ? W(runProgram) : nullptr, &names, W(u"C:\\My Temp\\pw-1"), &command);
        application = U8(RtText_Z(&command.application));
        std::string commandLine = U8(RtText_Z(&command.commandLine));
        SfxCommand_Free(&command);
        return commandLine;
    }
};

TEST(SfxCommand, TheStartFileRunsFromTheExtractionFolderQuoted)
{
    Extracted files{u"my setup.exe", u"my", u"sub\\tool.exe", u"setup.exe"};
    EXPECT_EQ(files.Make(u"my setup.exe /S /v\"/qn\""), "\"C:\\My Temp\\pw-1\\my setup.exe\" /S /v\"/qn\"");
    EXPECT_EQ(files.result, SFX_COMMAND_OK);
    EXPECT_EQ(files.application, "C:\\My Temp\\pw-1\\my setup.exe");
    EXPECT_EQ(files.Make(u"MY SETUP.EXE"), "\"C:\\My Temp\\pw-1\\MY SETUP.EXE\"");
    EXPECT_EQ(files.Make(u"\"my setup.exe\" /S"), "\"C:\\My Temp\\pw-1\\my setup.exe\" /S");
    EXPECT_EQ(files.Make(u"  sub\\tool.exe -x"), "\"C:\\My Temp\\pw-1\\sub\\tool.exe\" -x");
    EXPECT_EQ(files.Make(u"setup.exe"), "\"C:\\My Temp\\pw-1\\setup.exe\"");
}

TEST(SfxCommand, ARunnerWordRunsTheRunnerOnTheQuotedStartFile)
{
    Extracted files{u"msistub.exe", u"batchrunner.exe", u"infrunner.exe", u"my setup.msi", u"go.cmd", u"drv.inf"};
    for (BuildInputs in : {StartFile("my setup.msi", "/norestart"), StartFile("go.cmd"), StartFile("drv.inf")}) {
        ReadBlock read(WithArchive(SfxConfig(in)));
        files.Make(reinterpret_cast<const char16_t*>(read.config.runProgram));
        EXPECT_EQ(files.result, SFX_COMMAND_OK) << in.startFile.toStdString();
    }
    EXPECT_EQ(files.Make(u"msistub my setup.msi /qb-!"),
              "\"C:\\My Temp\\pw-1\\msistub.exe\" \"my setup.msi\" /qb-!");
    EXPECT_EQ(files.application, "C:\\My Temp\\pw-1\\msistub.exe");
    EXPECT_EQ(files.Make(u"BatchRunner.exe go.cmd hidcon"), "\"C:\\My Temp\\pw-1\\batchrunner.exe\" go.cmd hidcon");
    EXPECT_EQ(files.Make(u"infrunner"), "\"C:\\My Temp\\pw-1\\infrunner.exe\"");
    EXPECT_EQ(files.Make(u"infrunner missing.inf"), "\"C:\\My Temp\\pw-1\\infrunner.exe\" missing.inf");

    Extracted noRunner{u"go.cmd"};
    noRunner.Make(u"batchrunner go.cmd hidcon");
    EXPECT_EQ(noRunner.result, SFX_COMMAND_NO_RUNNER);
}

TEST(SfxCommand, ACommandNamingNoExtractedFileIsRefused)
{
    // Started as it stands, the command would run whatever Windows' search finds: a tool.exe beside the
    // installer, or one on the PATH. A stored "tool.exe." is extracted as "tool.exe_", so "tool.exe." (or
    // "tool.exe") names nothing the archive put there either.
    Extracted files{u"setup.exe", u"tool.exe_"};
    for (const char16_t* command : {u"cmd /c echo x", u"tool.exe /S", u"tool.exe.", u"\"tool.exe\" /S",
                                    u"C:\\Windows\\system32\\cmd.exe /c x", u"..\\setup.exe"}) {
        EXPECT_EQ(files.Make(command), "") << U8(W(command));
        EXPECT_EQ(files.result, SFX_COMMAND_NO_FILE) << U8(W(command));
        EXPECT_EQ(files.application, "");
    }
    for (const char16_t* nothing : {u"", u"  \t", static_cast<const char16_t*>(nullptr)}) {
        files.Make(nothing);
        EXPECT_EQ(files.result, SFX_COMMAND_EMPTY);
    }
}

}  // namespace
