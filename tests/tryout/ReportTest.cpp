// The verdict and the report of a try, from results made up here.
#include "tryout/TryReport.h"
#include "tryout/WindowsErrors.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

using namespace pw;

namespace {

TryResult Ran(QList<qint64> exitCodes, int lines = 1)
{
    TryResult result;
    result.ran = true;
    for (int i = 0; i < lines; ++i)
        result.lines << QStringLiteral("Setup%1.exe").arg(i);
    result.exitCodes = exitCodes;
    result.seconds = 2.0;
    return result;
}

TEST(TryReport, WhatCountsAsInstalledSilently)
{
    EXPECT_TRUE(InstalledSilently(Ran({0})));
    EXPECT_TRUE(InstalledSilently(Ran({3010, 1641}, 2))) << "a restart Windows setup makes anyway";
    EXPECT_FALSE(InstalledSilently(Ran({1603})));
    EXPECT_FALSE(InstalledSilently(Ran({0}, 2))) << "the second line never ended";
    EXPECT_FALSE(InstalledSilently(Ran({}, 0)));
    TryResult result = Ran({0});
    result.processesLeft << QStringLiteral("updater.exe (80)");
    EXPECT_TRUE(InstalledSilently(result)) << "Windows setup goes on without waiting for them";
    for (bool TryResult::*flag : {&TryResult::waitedOnWindow, &TryResult::timedOut, &TryResult::cancelled}) {
        result = Ran({0});
        result.*flag = true;
        EXPECT_FALSE(InstalledSilently(result));
    }
    result = Ran({}, 1);
    result.startError = 2;
    EXPECT_FALSE(InstalledSilently(result));
}

TEST(TryReport, VerdictSaysWhatEndedTheRun)
{
    TryOptions options;
    options.windowLimitSeconds = 7;
    options.timeLimitSeconds = 90;
    const TryTexts& texts = options.texts;
    EXPECT_EQ(VerdictText(Ran({0, 3010}, 2), QString(), options),
              texts.SilentStr.arg(QStringLiteral("0, 3010 (A restart is required to complete the install)"),
                                  QStringLiteral("2.0")));
    EXPECT_EQ(VerdictText(Ran({1603}), QString(), options),
              texts.ExitCodeStr.arg(QStringLiteral("1603 (Fatal error during installation)"), QStringLiteral("2.0")));
    TryResult result = Ran({});
    result.waitedOnWindow = true;
    // A title is shown as it is, even one that looks like a place for a number.
    EXPECT_EQ(VerdictText(result, QStringLiteral("Setup %2"), options),
              texts.WindowWaitStr.arg(QStringLiteral("Setup %2"), QStringLiteral("7")));
    EXPECT_TRUE(VerdictText(result, QStringLiteral("Setup %2"), options).contains(QStringLiteral("Setup %2")));
    EXPECT_EQ(VerdictText(result, QString(), options), texts.WindowWaitStr.arg(texts.NoTitleStr, QStringLiteral("7")));
    result = Ran({});
    result.timedOut = true;
    EXPECT_EQ(VerdictText(result, QString(), options), texts.TimedOutStr.arg(90));
    result = Ran({});
    result.inputWaiter = QStringLiteral("setup.exe (40)");
    EXPECT_EQ(VerdictText(result, QString(), options), texts.InputWaitStr.arg(QStringLiteral("setup.exe (40)")));
    EXPECT_FALSE(InstalledSilently(result));
}

// A Windows code is followed by its text; an exit code of the program's own stays a number.
TEST(TryReport, WindowsCodesAreSaidInWords)
{
    EXPECT_EQ(StartErrorText(193, QStringLiteral("Bad EXE format for %1.")),
              QStringLiteral("193 (Not a valid Win32 application: a program for another processor, or no program at all)"));
    EXPECT_EQ(StartErrorText(1392, QStringLiteral("Corrupt.")), QStringLiteral("1392 (Corrupt.)")) << "Wine's text";
    EXPECT_EQ(ExitCodeText(0xC0000135), QStringLiteral("0xC0000135 (A DLL the program needs was not found)"));
    EXPECT_EQ(ExitCodeText(1618), QStringLiteral("1618 (Another installation is already in progress)"));
    EXPECT_EQ(ExitCodeText(5), QStringLiteral("5"));
    TryResult result = Ran({});
    result.startError = 193;
    EXPECT_TRUE(VerdictText(result, QString(), TryOptions()).contains(StartErrorText(193)));
}

TEST(TryReport, SummaryOfATryThatNeverRanIsItsReason)
{
    TryOptions options;
    options.addon = QStringLiteral("/somewhere/App.cab");
    TryResult result;
    result.reason = QStringLiteral("no Wine here");
    EXPECT_EQ(SummaryText(result, QString(), options),
              options.texts.TitleStr.arg(QStringLiteral("App.cab")) + QStringLiteral("\nno Wine here"));
}

TEST(TryReport, SummaryListsEverythingTheRunDid)
{
    TryOptions options;
    options.addon = QStringLiteral("/somewhere/App.cab");
    const TryTexts& texts = options.texts;
    TryResult result = Ran({0});
    result.replacedPrograms = QStringList{QStringLiteral("App.exe (7zS.sfx)"), QStringLiteral("msistub.exe (App.exe)")};
    result.windows = {{{QStringLiteral("First"), QStringLiteral("Second")}, 1.5}, {{}, 0.5}};
    result.filesAdded = QStringList{QStringLiteral("C:\\Program Files\\App\\app.exe")};
    result.registryAdded = QStringList{QStringLiteral("HKLM\\Software\\App: Version = 1.0")};
    result.reportFolder = QStringLiteral("/reports/App-try");
    result.screenshots = QStringList{QStringLiteral("window-1.png")};
    result.imitated = WindowsTarget::Xp64;
    result.installedNothing = true;  // not so, but its warning follows the verdict
    const QStringList lines = SummaryText(result, QStringLiteral("fine"), options).split(QLatin1Char('\n'));
    const QStringList expected = {
        texts.TitleStr.arg(QStringLiteral("App.cab")),
        texts.LineStr.arg(QStringLiteral("Setup0.exe")),
        texts.ImitatedStr.arg(QStringLiteral("Windows XP x64"), QStringLiteral("winxp64")),
        texts.Wine64Str.arg(QStringLiteral("App.exe (7zS.sfx), msistub.exe (App.exe)")),
        texts.ResultStr.arg(QStringLiteral("fine")),
        texts.NothingInstalledStr,
        QString(),
        texts.WindowsStr,
        QStringLiteral("  ") + texts.WindowLineStr.arg(QStringLiteral("\"First\", \"Second\""), QStringLiteral("1.5")),
        QStringLiteral("  ") + texts.WindowLineStr.arg(texts.NoTitleStr, QStringLiteral("0.5")),
        QStringLiteral("  ") + texts.ScreenshotStr.arg(QStringLiteral("/reports/App-try/window-1.png")),
        QString(),
        texts.LeftStr,
        QStringLiteral("  ") + texts.NothingStr,
        QString(),
        texts.FilesStr,
        QStringLiteral("  C:\\Program Files\\App\\app.exe"),
        QString(),
        texts.RegistryStr,
        QStringLiteral("  HKLM\\Software\\App: Version = 1.0"),
        QString(),
        texts.ShortcutsStr,
        QStringLiteral("  ") + texts.NothingStr,
        QString(),
        texts.TempStr,
        QStringLiteral("  ") + texts.NothingStr,
        QString(),
        texts.ReportStr.arg(QStringLiteral("/reports/App-try"))};
    EXPECT_EQ(lines, expected);
}

TEST(TryReport, FoldersOfTheirOwnWithScreenshotsAndTheLog)
{
    pwtest::TempDir dir;
    const QString log = dir.write(QStringLiteral("packwright-addon.log"), "extracted\r\n");
    QImage screen(64, 48, QImage::Format_RGB32);
    screen.fill(Qt::blue);
    TryResult first, second;
    QString error;
    ASSERT_TRUE(WriteReportFiles(first, dir.path(QStringLiteral("reports/new")), QStringLiteral("/x/App.cab"), {screen},
                                 log, &error))
        << error.toStdString();
    ASSERT_TRUE(WriteReportFiles(second, dir.path(QStringLiteral("reports/new")), QStringLiteral("/x/App.cab"), {},
                                 dir.path(QStringLiteral("missing.log")), &error))
        << error.toStdString();
    EXPECT_NE(first.reportFolder, second.reportFolder);
    EXPECT_TRUE(QFileInfo(first.reportFolder).fileName().startsWith(QLatin1String("App-try-")));
    EXPECT_EQ(first.screenshots, QStringList{QStringLiteral("window-1.png")});
    EXPECT_EQ(QImage(first.reportFolder + QStringLiteral("/window-1.png")).pixel(3, 3), QColor(Qt::blue).rgb());
    EXPECT_EQ(pwtest::ReadAll(first.reportFolder + QStringLiteral("/addon-log.txt")), QByteArray("extracted\r\n"));
    EXPECT_FALSE(QFileInfo::exists(second.reportFolder + QStringLiteral("/addon-log.txt")));

    first.summary = QStringLiteral("Résumé");
    ASSERT_TRUE(WriteSummary(first, &error));
    EXPECT_EQ(pwtest::ReadAll(first.reportFolder + QStringLiteral("/summary.txt")),
              QStringLiteral("Résumé\n").toUtf8());

    // Without a parent, the current folder holds it.
    const QString current = QDir::currentPath();
    QDir::setCurrent(dir.path());
    TryResult here;
    const bool written = WriteReportFiles(here, QString(), QStringLiteral("/x/Here.cab"), {}, log, &error);
    QDir::setCurrent(current);
    ASSERT_TRUE(written) << error.toStdString();
    EXPECT_EQ(QFileInfo(here.reportFolder).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());

    // A parent that is a file cannot hold the folder.
    TryResult third;
    EXPECT_FALSE(WriteReportFiles(third, log, QStringLiteral("/x/App.cab"), {}, log, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(third.reportFolder.isEmpty());
}

}  // namespace
