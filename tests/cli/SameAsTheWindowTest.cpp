// packwright-build runs the build of the window's button: without field options, the entries file it
// writes holds the entries text the window shows once the same start file is chosen.
#include "gui/TMainForm.h"
#include "platform/CodePage.h"
#include "platform/TextLines.h"
#include "support/CabinetDecoders.h"
#include "support/WindowFixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QString kSample = QStringLiteral(PW_SAMPLES "/DemoApp");

// The lines of the entries file that packwright-build writes into its add-on, before "[AddProgram]".
QStringList EntriesWritten(const pwtest::TempDir& dir, const QStringList& extra)
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path("home"));
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral(PACKWRIGHT_BUILD), QStringList{"--folder", kSample, "--start", "setup.exe", "--no-compact",
                                                            dir.path("Demo.cab")} + extra);
    EXPECT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const pwtest::ToolRun unpack = pwtest::RunTool(QStringLiteral("cabextract"),
                                                   {QStringLiteral("-q"), QStringLiteral("-d"), dir.path("x"), dir.path("Demo.cab")});
    EXPECT_TRUE(unpack.ok) << unpack.output.toStdString();
    QStringList lines = pw::SplitLines(pw::AnsiToUnicode(pwtest::ReadAll(dir.path("x/ENTRIES_DEMO.ini"))));
    QFile::remove(dir.path("Demo.cab"));
    return lines.mid(0, lines.indexOf(QStringLiteral("[AddProgram]")));
}

// key=value of the "[General]" section.
QMap<QString, QString> General(const QStringList& lines)
{
    QMap<QString, QString> values;
    const qsizetype start = lines.indexOf(QStringLiteral("[General]"));
    for (qsizetype i = start + 1; start >= 0 && i < lines.size() && !lines[i].startsWith(QLatin1Char('[')); ++i) {
        if (lines[i].contains(QLatin1Char('=')))
            values.insert(lines[i].section(QLatin1Char('='), 0, 0), lines[i].section(QLatin1Char('='), 1));
    }
    return values;
}

}  // namespace

TEST(CommandLineAndWindow, TheGeneralSectionIsWhatTheWindowShowsForTheSameStartFile)
{
    pwtest::WindowFixture window;
    window.Scan(kSample);
    window.Choose(QStringLiteral("setup.exe"));
    const pw::TMainForm& form = *window.form;
    ASSERT_FALSE(form.Title->text().isEmpty()) << "the sample's start file has version data";
    const QStringList shown = pw::SplitLines(form.EntriesStr->toPlainText());

    const QStringList written = EntriesWritten(window.dir, {});
    EXPECT_EQ(written, shown);
    const QMap<QString, QString> general = General(written);
    EXPECT_EQ(general.value("title"), form.Title->text());
    EXPECT_EQ(general.value("description"), form.Description->text());
    EXPECT_EQ(general.value("version"), form.Version->text());
    EXPECT_EQ(general.value("language"), form.Language->text());
    EXPECT_EQ(general.value("builddate"), form.BuildDate->text());
    EXPECT_EQ(general.value("website"), QString());

    // A field given is one the user typed over the fill; without the version data, only that one is set.
    window.form->Version->setText(QStringLiteral("2.0 final"));
    EXPECT_EQ(EntriesWritten(window.dir, {"--addon-version", "2.0 final"}), pw::SplitLines(form.EntriesStr->toPlainText()));
    const QMap<QString, QString> bare = General(EntriesWritten(window.dir, {"--no-version-data", "--addon-version", "2.0"}));
    EXPECT_EQ(bare.value("title"), QString());
    EXPECT_EQ(bare.value("version"), QStringLiteral("2.0"));
}
