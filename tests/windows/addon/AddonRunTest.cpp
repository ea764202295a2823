// Add-ons of every kind of start file, packed at every level and unpacked, built by packwright-build and run
// under Wine as Windows setup runs them, on both stands: the start file runs once with its switch, its exit
// code comes back, it finds the program folder's files beside it, the self-extractor makes its shortcuts and
// removes what it extracted.
#include "AddonFixture.h"

#include <QFileInfo>
#include <QRegularExpression>

using namespace pwtest;

namespace {

constexpr int kNoCompact = -1;
// What msiexec ends with when a package refuses to install (ERROR_INSTALL_FAILURE).
constexpr qint64 kInstallFailure = 1603;

struct AddonCase {
    StartKind kind;
    int level;            // 0 to 4, or kNoCompact
    Arch arch;
    bool refuse = false;  // an .msi asked to refuse
};

QString CaseName(const AddonCase& c)
{
    return QStringLiteral("%1_%2%3_%4")
        .arg(QString::fromLatin1(KindName(c.kind)),
             c.level == kNoCompact ? QStringLiteral("nocompact") : QStringLiteral("level%1").arg(c.level),
             c.refuse ? QStringLiteral("_refused") : QString(), QString::fromLatin1(ArchName(c.arch)));
}

void PrintTo(const AddonCase& c, std::ostream* os)
{
    *os << CaseName(c).toStdString();
}

std::string PrintCaseName(const ::testing::TestParamInfo<AddonCase>& info)
{
    return CaseName(info.param).toStdString();
}

QString WindowsParent(const QString& windowsPath)
{
    return windowsPath.left(windowsPath.lastIndexOf(QLatin1Char('\\')));
}

class AddonRun : public AddonFixture, public ::testing::WithParamInterface<AddonCase> {
protected:
    AddonRun() : AddonFixture(GetParam().arch) {}

    void SetUp() override
    {
        AddonFixture::SetUp();
        if (IsSkipped())
            return;
        Prepare(GetParam().kind, CaseName(GetParam()));
        if (GetParam().refuse)
            program_.silentSwitch += QStringLiteral(" PWTEST_REFUSE=1");
    }

    bool Compact() const { return GetParam().level != kNoCompact; }
    QString DesktopShortcut() const { return QStringLiteral("Packwright %1\\Run %1.lnk").arg(name_); }
    QString ProgramsShortcut() const { return QStringLiteral("Packwright %1\\Sub\\App %1.lnk").arg(name_); }

    // With the self-extractor, a shortcut on the desktop to the start file in the extraction folder, and one
    // in the Programs menu to a file under Program Files, in a sub-folder; then the packing. Without it there
    // is nothing to make shortcuts, and the command line refuses them.
    Unpacked BuildAndUnpack() const
    {
        if (!Compact())
            return AddonFixture::BuildAndUnpack({QStringLiteral("--no-compact")});
        return AddonFixture::BuildAndUnpack(
            {QStringLiteral("--shortcut"),
             QStringLiteral("0,6,%1,/run \"x y\",Packwright %2,Start %2,Run %2").arg(program_.startFile, name_),
             QStringLiteral("--shortcut"),
             QStringLiteral("2,1,Packwright\\app.exe,-x,Packwright %1\\Sub,Descrição %1,App %1").arg(name_),
             QStringLiteral("--level"), QString::number(GetParam().level)});
    }

    // The recorder ran once with the switch's arguments, in the folder that holds the start file, and found
    // there every file of the program folder, byte for byte, and the runner that started it.
    void CheckRecording(const Unpacked& addon) const
    {
        const QStringList runs = Recorded(QStringLiteral("runs.txt"));
        ASSERT_EQ(runs.size(), 1) << "command lines: " << runs.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(Recorded(QStringLiteral("arguments.txt")), kRecordedArguments)
            << "command line: " << runs.front().toStdString();
        const QString folder = Recorded(QStringLiteral("folder.txt")).value(0);
        if (Compact()) {
            EXPECT_EQ(WindowsParent(folder), WindowsPath(temp_))
                << "not an extraction folder: " << folder.toStdString();
        } else {
            EXPECT_EQ(folder, WindowsPath(addon.svcpack));
        }

        FileTree expected = ReadTree(program_folder_);
        if (!program_.runner.isEmpty())
            expected.insert(program_.runner, ReadAll(AppDirFile(program_.runner, arch_)));
        const FileTree found = ReadTree(scratch_.path(QStringLiteral("record/tree")));
        EXPECT_EQ(found.keys(), expected.keys());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            EXPECT_TRUE(found.value(it.key()) == it.value()) << "content of " << it.key().toStdString() << " differs";
        // A cabinet holds files only; the self-extractor's archive holds empty folders too.
        if (Compact()) {
            EXPECT_TRUE(QFileInfo(scratch_.path(QStringLiteral("record/tree/")) + kEmptyFolder).isDir());
        }
    }

    // The package went where its switch said, which only msiexec could have done.
    void CheckPackageInstalled() const
    {
        // Where Windows Installer puts an x86 package by itself.
        const QString programFiles
            = arch_ == Arch::I686 ? QStringLiteral("Program Files") : QStringLiteral("Program Files (x86)");
        const bool withoutSwitch
            = Exists(DriveC(QStringLiteral("%1/Packwright test %2/installed.txt").arg(programFiles, name_), arch_));
        EXPECT_EQ(ReadAll(DriveC(MsiInstallFolder(name_) + QStringLiteral("/installed.txt"), arch_)),
                  InstalledContent(name_))
            << (withoutSwitch ? "installed, but without its switch" : "not installed");
    }

    // The INF's DefaultInstall copied its file into the system folder and wrote its registry value.
    void CheckInfInstalled() const
    {
        EXPECT_EQ(ReadAll(DriveC(QStringLiteral("windows/system32/") + InfCopiedFile(name_), arch_)),
                  InstalledContent(name_));
        const ToolRun query = RunOnWine({QStringLiteral("reg"), QStringLiteral("query"),
                                         QStringLiteral("HKLM\\Software\\Packwright tests"), QStringLiteral("/v"),
                                         InfRegistryValue(name_)},
                                        QString(), {}, arch_);
        EXPECT_TRUE(query.output.contains(QString::fromUtf8(InstalledContent(name_)).trimmed()))
            << query.output.toStdString();
    }

    // Read back through the shell (and removed, as the prefix is shared), from the current user's folders:
    // this is not the system account of Windows setup.
    void CheckShortcuts() const
    {
        const ToolRun info
            = RunOnWine({TestTool(QStringLiteral("ShortcutInfo.exe"), arch_), QStringLiteral("--remove"),
                         QStringLiteral("D"), DesktopShortcut(), QStringLiteral("P"), ProgramsShortcut()},
                        QString(), {}, arch_);
        const QList<QMap<QString, QString>> links = ParseRecords(info.output);
        ASSERT_EQ(links.size(), 2) << info.output.toStdString();

        const QMap<QString, QString>& desktop = links[0];
        EXPECT_EQ(desktop.value(QStringLiteral("scope")), QStringLiteral("user")) << DesktopShortcut().toStdString();
        const QString target = desktop.value(QStringLiteral("path"));
        EXPECT_TRUE(target.startsWith(WindowsPath(temp_) + QLatin1Char('\\'), Qt::CaseInsensitive) &&
                    target.endsWith(QLatin1Char('\\') + program_.startFile, Qt::CaseInsensitive))
            << "not the start file in the extraction folder: " << target.toStdString();
        EXPECT_EQ(desktop.value(QStringLiteral("arguments")), QStringLiteral("/run \"x y\""));
        EXPECT_EQ(desktop.value(QStringLiteral("description")), QStringLiteral("Start ") + name_);

        const QMap<QString, QString>& programs = links[1];
        EXPECT_EQ(programs.value(QStringLiteral("scope")), QStringLiteral("user")) << ProgramsShortcut().toStdString();
        EXPECT_EQ(programs.value(QStringLiteral("path")).toLower(),
                  QStringLiteral("c:\\program files\\packwright\\app.exe"));
        EXPECT_EQ(programs.value(QStringLiteral("arguments")), QStringLiteral("-x"));
        EXPECT_EQ(programs.value(QStringLiteral("description")), QStringLiteral("Descrição ") + name_);
    }
};

TEST_P(AddonRun, RunsTheStartFileAndLeavesNothingBehind)
{
    const Unpacked addon = BuildAndUnpack();
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();
    // At level 4 a program is packed with BCJ2, whose four streams the self-extractor has to join again.
    if (GetParam().level == 4 && GetParam().kind == StartKind::Exe) {
        const ToolRun listing = RunTool(QStringLiteral("7z"), {QStringLiteral("l"), QStringLiteral("-slt"),
                                                               addon.svcpack + QLatin1Char('/') + addon.addProgram});
        const QRegularExpression startFileMethod(
            QStringLiteral("^Path = %1\n(?:.+\n)*?Method = BCJ2 ").arg(QRegularExpression::escape(program_.startFile)),
            QRegularExpression::MultilineOption);
        EXPECT_TRUE(startFileMethod.match(listing.output).hasMatch()) << listing.output.toStdString();
    }
    const SetupRun run = Run(addon);
    ASSERT_TRUE(run.ran) << addon.addProgram.toStdString() << ":\n" << run.output.toStdString();

    switch (GetParam().kind) {
    case StartKind::Exe:
    case StartKind::Bat:
    case StartKind::Cmd:
        EXPECT_EQ(run.exitCode, kChosenExitCode);
        CheckRecording(addon);
        break;
    case StartKind::Msi:
        EXPECT_EQ(run.exitCode, 0);
        CheckPackageInstalled();
        break;
    case StartKind::Inf:
        EXPECT_EQ(run.exitCode, 0);
        CheckInfInstalled();
        break;
    }
    EXPECT_EQ(SubFolders(temp_), QStringList()) << "left in the temporary folder";
    if (Compact())
        CheckShortcuts();
}

std::vector<AddonCase> EveryKindAndPacking()
{
    std::vector<AddonCase> cases;
    for (Arch arch : {Arch::X86_64, Arch::I686})
        for (StartKind kind : {StartKind::Exe, StartKind::Msi, StartKind::Bat, StartKind::Cmd, StartKind::Inf})
            for (int level : {0, 1, 2, 3, 4, kNoCompact})
                cases.push_back({kind, level, arch});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Addon, AddonRun, ::testing::ValuesIn(EveryKindAndPacking()), PrintCaseName);

// A package that refuses to install: msiexec's code must come back through msistub (and the self-extractor),
// and nothing may be installed. msiexec's basic interface (the /qb-! of the command line) shows such an error
// in a message box that waits for an answer: an unattended Windows setup would stop there for good, and so
// does this run, until the time limit.
using RefusedPackage = AddonRun;

TEST_P(RefusedPackage, EndsWithTheInstallersCode)
{
    const Unpacked addon = BuildAndUnpack();
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();
    const SetupRun run = Run(addon);
    ASSERT_TRUE(run.ran) << addon.addProgram.toStdString() << ":\n" << run.output.toStdString();
    EXPECT_EQ(run.exitCode, kInstallFailure);
    EXPECT_FALSE(Exists(DriveC(MsiInstallFolder(name_), arch_)));
    EXPECT_EQ(SubFolders(temp_), QStringList()) << "left in the temporary folder";
}

INSTANTIATE_TEST_SUITE_P(Addon, RefusedPackage,
                         ::testing::Values(AddonCase{StartKind::Msi, 1, Arch::X86_64, true},
                                           AddonCase{StartKind::Msi, kNoCompact, Arch::X86_64, true},
                                           AddonCase{StartKind::Msi, 1, Arch::I686, true},
                                           AddonCase{StartKind::Msi, kNoCompact, Arch::I686, true}),
                         PrintCaseName);

}  // namespace
