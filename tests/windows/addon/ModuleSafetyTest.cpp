// What the self-extractor must never do, whatever its block, its archive or its surroundings hold: run a
// program it did not extract, end with 0 when it ran nothing, extract into a folder someone else made or may
// write to, write its log through a link, hold Windows setup with a window, or need stack for a tree's depth.
#include "AddonFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <unistd.h>

#include <iostream>

using namespace pwtest;

namespace {

// Windows' codes for what the module refuses.
constexpr qint64 kFileNotFound = 2;
constexpr qint64 kBadFormat = 11;

const QByteArray kBlockStart = ";!@Install@!UTF-8!\n\r";
const QByteArray kBlockEnd = ";!@InstallEnd@!";

class ModuleSafety : public AddonFixture {
protected:
    // An installer joined by hand, as the build joins one: the module of the test AppDir, `block` and a 7z
    // archive of `files` (made by 7-Zip itself, which stores any name Linux can hold), in a folder `name` of
    // its own. Returns what runs it.
    Unpacked HandMadeInstaller(const QString& name, const QByteArray& block, const QMap<QString, QString>& files) const
    {
        const QString content = scratch_.path(name + QStringLiteral("/content"));
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QDir().mkpath(QFileInfo(content + QLatin1Char('/') + it.key()).absolutePath());
            EXPECT_TRUE(QFile::copy(it.value(), content + QLatin1Char('/') + it.key())) << it.key().toStdString();
        }
        const QString archive = scratch_.path(name + QStringLiteral("/archive.7z"));
        const ToolRun pack = RunIn(content, QStringLiteral("7z"),
                                   {QStringLiteral("a"), QStringLiteral("-mx=1"), archive, QStringLiteral(".")});
        EXPECT_TRUE(pack.ok) << pack.output.toStdString();
        const QString folder = scratch_.path(name + QStringLiteral("/svcpack"));
        QDir().mkpath(folder);
        QFile installer(folder + QStringLiteral("/Setup.exe"));
        EXPECT_TRUE(installer.open(QIODevice::WriteOnly));
        installer.write(ReadAll(AppDirFile(QStringLiteral("7zS.sfx"))) + block + ReadAll(archive));
        return {folder, QStringLiteral("Setup.exe"), QString()};
    }

    QString Log() const { return QString::fromUtf8(ReadAll(temp_ + QStringLiteral("/packwright-addon.log"))); }

    // The run ended by itself with `code`, ran nothing, left nothing in %TEMP% but its log, and showed no
    // window (the runs that call this ask for none).
    void ExpectRefused(const SetupRun& run, qint64 code, const char* logged) const
    {
        ASSERT_TRUE(run.ran) << run.output.toStdString();
        EXPECT_EQ(run.exitCode, code);
        EXPECT_EQ(Recorded(QStringLiteral("runs.txt")), QStringList()) << "something ran";
        EXPECT_EQ(run.closedMessages, QStringList()) << "a window although the block asks for none";
        EXPECT_EQ(SubFolders(temp_), QStringList()) << "left in the temporary folder";
        EXPECT_TRUE(Log().contains(QLatin1String(logged))) << Log().toStdString();
    }
};

// A tool.exe beside the installer is what Windows' search finds first for a command that names "tool.exe"
// and no file the archive holds; a stored "tool.exe." is extracted as "tool.exe_", so its command names
// nothing extracted either.
TEST_F(ModuleSafety, ACommandNamingNoExtractedFileRunsNothingElse)
{
    Prepare(StartKind::Exe, QStringLiteral("no_extracted_file"));
    const QString recorder = TestTool(QStringLiteral("Recorder.exe"));
    const struct {
        const char* stored;
        const char* command;
    } cases[] = {{"setup.exe", "tool.exe /S"}, {"tool.exe.", "tool.exe. /S"}};
    int run = 0;
    for (const auto& c : cases) {
        const QByteArray block = kBlockStart + "RunProgram=\"" + c.command + "\"\n\rGUIMode=\"2\"\n\r" + kBlockEnd;
        const Unpacked addon
            = HandMadeInstaller(QString::number(++run), block, {{QString::fromLatin1(c.stored), recorder}});
        ASSERT_TRUE(QFile::copy(recorder, addon.svcpack + QStringLiteral("/tool.exe")));
        ExpectRefused(Run(addon, MessageBoxes::Answered), kFileNotFound,
                      "the command names no file that the archive holds");
    }
}

// A block without a command, or with an empty one (what the build writes for a .com start file), ran nothing
// and ended with 0, as if it had installed.
TEST_F(ModuleSafety, NothingToRunIsAFailure)
{
    Prepare(StartKind::Exe, QStringLiteral("nothing_to_run"));
    int run = 0;
    for (const QByteArray command : {"", "RunProgram=\"\"\n\r", "RunProgram=\"  \"\n\r"}) {
        const Unpacked addon
            = HandMadeInstaller(QString::number(++run), kBlockStart + command + "GUIMode=\"2\"\n\r" + kBlockEnd,
                                {{QStringLiteral("setup.exe"), TestTool(QStringLiteral("Recorder.exe"))}});
        ExpectRefused(Run(addon, MessageBoxes::Answered), kBadFormat,
                      "the configuration block names no program to run");
    }
}

// pwsetup-<process id>-0 already there: whoever made it may have put files in it, or may write to it, and an
// earlier installer of the same process id may have left it for the next restart to remove. Wine numbers
// processes and threads in fours from 32, reusing the numbers of those that ended: every first name a process
// of this stand gets is taken, each holding a planted start file. The module takes the next name instead.
TEST_F(ModuleSafety, AnExistingExtractionFolderIsNeverUsed)
{
    Prepare(StartKind::Exe, QStringLiteral("existing_folder"));
    const Unpacked addon = BuildAndUnpack({QStringLiteral("--level"), QStringLiteral("1")});
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();
    constexpr int kProcessIds = 1 << 14;
    const QByteArray planted = "planted";
    for (int id = 0; id < kProcessIds; id += 4) {
        const QString folder = QStringLiteral("pwsetup-%1-0").arg(id);
        ASSERT_TRUE(QDir(temp_).mkdir(folder));
        QFile file(temp_ + QLatin1Char('/') + folder + QLatin1Char('/') + program_.startFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(planted) == planted.size());
    }

    const SetupRun run = Run(addon, MessageBoxes::Answered);
    ASSERT_TRUE(run.ran) << run.output.toStdString();
    EXPECT_EQ(run.exitCode, kChosenExitCode) << Log().toStdString();
    EXPECT_EQ(Recorded(QStringLiteral("runs.txt")).size(), 1);
    const QString folder = Recorded(QStringLiteral("folder.txt")).value(0);
    EXPECT_TRUE(folder.endsWith(QLatin1String("-1"))) << "extracted into " << folder.toStdString();
    const QStringList left = SubFolders(temp_);
    EXPECT_EQ(left.size(), kProcessIds / 4) << "a folder that was there went, or one was added";
    for (const QString& name : left)
        ASSERT_EQ(ReadAll(temp_ + QLatin1Char('/') + name + QLatin1Char('/') + program_.startFile), planted) << name.toStdString();
}

// Under the system account the folder lies in %SystemRoot%\Temp, whose inherited rights let any user create
// files in it. Wine keeps a folder's rights as its mode bits: what it shows is whether anyone else got in.
TEST_F(ModuleSafety, TheExtractionFolderIsOpenOnlyToTheSystemTheAdministratorsAndItsUser)
{
    Prepare(StartKind::Exe, QStringLiteral("folder_rights"));
    const QString start = program_folder_ + QLatin1Char('/') + program_.startFile;
    ASSERT_TRUE(QFile::remove(start) && QFile::copy(TestTool(QStringLiteral("FolderRights.exe")), start));
    const Unpacked addon = BuildAndUnpack({QStringLiteral("--level"), QStringLiteral("1")});
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();

    const SetupRun run = Run(addon, MessageBoxes::Answered);
    ASSERT_TRUE(run.ran) << run.output.toStdString();
    EXPECT_EQ(run.exitCode, kChosenExitCode);
    const QStringList rights = Recorded(QStringLiteral("rights.txt"));
    ASSERT_GT(rights.size(), 1) << rights.join(QLatin1Char('\n')).toStdString();
    static const QRegularExpression allowed(QStringLiteral("^(S-1-5-18|S-1-5-32-544|S-1-5-21(-\\d+)+) "));
    QStringList sids;
    for (const QString& entry : rights.mid(1)) {
        EXPECT_TRUE(allowed.match(entry).hasMatch()) << "open to " << entry.toStdString();
        sids << entry.section(QLatin1Char(' '), 0, 0);
    }
    EXPECT_TRUE(sids.contains(QStringLiteral("S-1-5-18"))) << sids.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(SubFolders(temp_), QStringList());
}

// A link planted under the log's name would have the system account write wherever it points. Wine follows a
// symbolic link to a file as if it were the file and shows no reparse point, so only a hard link can be
// planted here: a file with two names is left alone.
TEST_F(ModuleSafety, TheLogIsNeverWrittenThroughALink)
{
    Prepare(StartKind::Exe, QStringLiteral("linked_log"));
    const Unpacked addon = BuildAndUnpack({QStringLiteral("--level"), QStringLiteral("1")});
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();
    const QString target = scratch_.path(QStringLiteral("system.ini"));
    const QByteArray content = "[a file only the system may write]\r\n";
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    ASSERT_EQ(::link(QFile::encodeName(target).constData(),
                     QFile::encodeName(temp_ + QStringLiteral("/packwright-addon.log")).constData()),
              0);

    const SetupRun run = Run(addon, MessageBoxes::Answered);
    ASSERT_TRUE(run.ran) << run.output.toStdString();
    EXPECT_EQ(run.exitCode, kChosenExitCode);
    EXPECT_EQ(Recorded(QStringLiteral("runs.txt")).size(), 1);
    EXPECT_EQ(ReadAll(target), content);
}

// An add-on of a .cmd start file has no GUIMode="2": its failure is shown, in a box that nobody answers during
// Windows setup. The box must close by itself, under Wine too, and only once the extracted files are gone.
TEST_F(ModuleSafety, AFailureWindowClosesByItselfOnceTheFolderIsGone)
{
    Prepare(StartKind::Cmd, QStringLiteral("failure_window"));
    const Unpacked addon = BuildAndUnpack({QStringLiteral("--level"), QStringLiteral("0")});
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();
    QFile installer(addon.svcpack + QLatin1Char('/') + addon.addProgram);
    ASSERT_TRUE(installer.open(QIODevice::ReadWrite));
    QByteArray bytes = installer.readAll();
    // Stored data of the noise file, the largest: only its checksum shows the damage.
    const qsizetype middle = bytes.size() / 2;
    bytes[middle] = char(bytes[middle] ^ 0x10);
    installer.seek(0);
    installer.write(bytes);
    installer.close();

    const SetupRun run = Run(addon, MessageBoxes::Wait);
    ASSERT_TRUE(run.ran) << "the failure's window waits for an answer:\n" << run.output.toStdString();
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(Recorded(QStringLiteral("runs.txt")), QStringList()) << "the start file ran";
    EXPECT_EQ(SubFolders(temp_), QStringList()) << "left in the temporary folder";
    const QString log = Log();
    const qsizetype removed = log.indexOf(QLatin1String("] removed ")),
                    shown = log.indexOf(QLatin1String("the failure is shown in a window that closes by itself"));
    EXPECT_GE(removed, 0) << log.toStdString();
    EXPECT_GT(shown, removed) << "the window came before the folder was removed:\n" << log.toStdString();
}

// The module's removal on a thread with the least stack it may get (Wine gives every thread 1 MiB), after
// marking that stack: how much of it the removal of a tree a few hundred folders deep wrote. The recursive
// walk it replaces took some 700 bytes a level, and overflowed 2 MiB past 3,000 levels. (Wine resolves every
// component of a path on each call, so each level costs it in proportion to the depth: a deeper tree takes
// minutes here, not on Windows.)
TEST_F(ModuleSafety, RemovingADeepTreeTakesNoStackForItsDepth)
{
    constexpr int kDepth = 300;
    const QString tree = scratch_.path(QStringLiteral("tree"));
    QString deepest = tree;
    for (int level = 0; level < kDepth; ++level)
        deepest += QStringLiteral("/d");
    ASSERT_TRUE(QDir().mkpath(deepest));
    for (QString folder = deepest; folder != tree; folder = QFileInfo(folder).path()) {
        QFile file(folder + QStringLiteral("/f.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    const ToolRun removal = RunOnWine({TestTool(QStringLiteral("RemoveTree.exe")), WindowsPath(tree)}, QString());
    static const QRegularExpression report(QStringLiteral("gone=(\\d) stack=(\\d+)"));
    const QRegularExpressionMatch match = report.match(removal.output);
    ASSERT_TRUE(match.hasMatch()) << removal.output.toStdString();
    EXPECT_EQ(match.captured(1), QStringLiteral("1"));
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_LT(match.captured(2).toInt(), 64 * 1024) << "bytes of stack for " << kDepth << " levels";
}

}  // namespace
