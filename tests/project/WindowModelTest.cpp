#include "project/WindowModel.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pw;

// While a build or a try runs, nothing it reads may change under it and nothing may start another:
// every input waits and only the General page, with the status line, stays.
TEST(WindowModel, EveryInputWaitsWhileABuildOrATryRuns)
{
    pwtest::TempDir dir;
    WindowModel model;
    dir.write("app/setup.exe");
    model.TakeScan(dir.path("app"), *FolderScan(dir.path("app")));
    PollInputs in;
    in.startFile = QStringLiteral("setup.exe");
    in.shortcutSelected = true;
    in.shortcutCount = 1;
    for (const WindowActivity activity : {WindowActivity::Idle, WindowActivity::Building, WindowActivity::Trying}) {
        model.activity = activity;
        const bool idle = activity == WindowActivity::Idle;
        const PollState s = model.Poll(in);
        EXPECT_EQ(model.Busy(), !idle);
        for (const bool enabled : {s.inputsEnabled, s.pagesVisible, s.sfxTabVisible, s.criaEnabled, s.comprLevEnabled,
                                   s.silCommEnabled, s.removeShortcutEnabled, s.clearShortcutsEnabled})
            EXPECT_EQ(enabled, idle) << int(activity);
    }
}

TEST(WindowModel, ARescanKeepsTheChoiceOnlyInTheSameFolderStillHoldingTheFile)
{
    pwtest::TempDir dir;
    dir.write("app/setup.exe");
    dir.write("other/setup.exe");
    WindowModel model;
    const auto app = FolderScan(dir.path("app"));
    EXPECT_FALSE(model.ScanKeepsChoice(dir.path("app"), app, QStringLiteral("setup.exe"))) << "nothing scanned yet";
    model.TakeScan(dir.path("app"), *app);
    EXPECT_TRUE(model.ScanKeepsChoice(dir.path("app") + QStringLiteral("/"), app, QStringLiteral("setup.exe")));
    EXPECT_FALSE(model.ScanKeepsChoice(dir.path("other"), FolderScan(dir.path("other")), QStringLiteral("setup.exe")));
    EXPECT_FALSE(model.ScanKeepsChoice(dir.path("app"), app, QStringLiteral("gone.exe")));
    EXPECT_FALSE(model.ScanKeepsChoice(dir.path("app"), std::nullopt, QStringLiteral("setup.exe")));
    EXPECT_FALSE(model.FolderPending(dir.path("app") + QStringLiteral("/")));
    EXPECT_TRUE(model.FolderPending(dir.path("other")));
    EXPECT_EQ(model.NewBuildInputs().sourceDir, dir.path("app"));
}

TEST(WindowModel, TheSessionIsKeptOnlyOnceTheRememberedOneHasApplied)
{
    WindowModel model;
    model.SourceDir = QStringLiteral("/apps/x");
    const WindowChoices choices{QStringLiteral("setup.exe"), 4, 2, WindowsTarget::Server2003, QStringLiteral("/out/x.cab")};
    EXPECT_FALSE(model.SessionToKeep(choices)) << "the start-up's own steps are no choice of the user's";
    model.SessionRestored();
    const std::optional<SessionSettings> session = model.SessionToKeep(choices);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->programFolder, QStringLiteral("/apps/x"));
    EXPECT_EQ(session->startFile, QStringLiteral("setup.exe"));
    EXPECT_EQ(session->compressionLevel, 4);
    EXPECT_EQ(session->overwriteMode, 2);
    EXPECT_EQ(session->target, WindowsTarget::Server2003);
    EXPECT_EQ(session->lastOutput, QStringLiteral("/out/x.cab"));
}
