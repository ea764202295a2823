// The names Windows setup cannot use, end to end: packwright-build refuses each, naming it, and makes no
// add-on; the names right beside each rule go into add-ons that install and run under Wine as Windows setup
// runs them, every file arriving under its own name.
#include "AddonFixture.h"

#include <QDir>
#include <QFile>

#include <functional>

using namespace pwtest;

namespace {

constexpr int kNoCompact = -1;

void WriteInto(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

struct RefusedCase {
    std::string name;
    StartKind kind;
    int level;  // 0 to 4, or kNoCompact
    // Lays out what is refused: in the program folder, or in the command's arguments and output's name.
    std::function<void(const QString& folder, TestProgram& program, QStringList& arguments, QString& output)> prepare;
    QStringList named;  // what the message (in the built-in language) must name
};

void PrintTo(const RefusedCase& c, std::ostream* os)
{
    *os << c.name;
}

std::string PrintRefusedName(const ::testing::TestParamInfo<RefusedCase>& info)
{
    return info.param.name;
}

// A file of the program folder named `name`.
auto FileNamed(const QString& name)
{
    return [name](const QString& folder, TestProgram&, QStringList&, QString&) {
        WriteInto(folder + QLatin1Char('/') + name, "refused");
    };
}

// The start file renamed to `name`.
auto StartFileNamed(const QString& name)
{
    return [name](const QString& folder, TestProgram& program, QStringList&, QString&) {
        ASSERT_TRUE(QFile::rename(folder + QLatin1Char('/') + program.startFile, folder + QLatin1Char('/') + name));
        program.startFile = name;
    };
}

class RefusedName : public AddonFixture, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedName, IsNamedAndNoAddOnIsMade)
{
    const RefusedCase& c = GetParam();
    Prepare(c.kind, QString::fromStdString(c.name));
    QStringList arguments;
    QString output = QStringLiteral("MyApp.cab");
    c.prepare(program_folder_, program_, arguments, output);
    arguments << QStringLiteral("--folder") << program_folder_ << QStringLiteral("--start") << program_.startFile;
    if (!program_.silentSwitch.isEmpty() && !arguments.contains(QStringLiteral("--switch")))
        arguments << QStringLiteral("--switch") << program_.silentSwitch;
    arguments << (c.level == kNoCompact ? QStringList{QStringLiteral("--no-compact")}
                                        : QStringList{QStringLiteral("--level"), QString::number(c.level)});
    arguments << scratch_.path(output);

    const ToolRun build = BuildAddon(arguments, scratch_.path(QStringLiteral("data")));
    EXPECT_FALSE(build.ok);
    for (const QString& named : c.named)
        EXPECT_TRUE(build.output.contains(named)) << build.output.toStdString();
    EXPECT_EQ(QDir(scratch_.path()).entryList(QDir::Files | QDir::Hidden), QStringList()) << "an add-on was made";
}

std::vector<RefusedCase> EveryRule()
{
    std::vector<RefusedCase> cases;
    // The rules of the program folder's names hold for the self-extractor's archive and the cabinet alike.
    for (int level : {1, kNoCompact}) {
        const std::string packing = level == kNoCompact ? "_nocompact" : "_level1";
        const auto add = [&](const std::string& name, StartKind kind, auto prepare, QStringList named) {
            cases.push_back({name + packing, kind, level, prepare, named});
        };
        add("drive_colon", StartKind::Exe, FileNamed(QStringLiteral("a:b.txt")), {"\"a:b.txt\"", "\":\" (U+003A)"});
        add("question_mark", StartKind::Exe, FileNamed(QStringLiteral("sub/why?.txt")), {"\"sub/why?.txt\""});
        add("control_character", StartKind::Exe, FileNamed(QStringLiteral("tab\there.txt")),
            {"\"tab<U+0009>here.txt\"", "U+0009"});
        add("trailing_dot", StartKind::Exe, FileNamed(QStringLiteral("trailing.")), {"\"trailing.\""});
        add("trailing_blank", StartKind::Exe, FileNamed(QStringLiteral("trailing ")), {"\"trailing \""});
        add("device_name", StartKind::Exe, FileNamed(QStringLiteral("sub/nul.txt")), {"\"sub/nul.txt\"", "NUL"});
        add("case_only", StartKind::Exe, FileNamed(QStringLiteral("README.TXT")), {"\"README.TXT\"", "\"readme.txt\""});
        add("runner_name", StartKind::Cmd, FileNamed(QStringLiteral("BatchRunner.exe")),
            {"\"BatchRunner.exe\"", "\"batchrunner.exe\""});
        add("percent_in_batch_file", StartKind::Cmd, StartFileNamed(QStringLiteral("setup%OS%.cmd")),
            {"\"setup%OS%.cmd\""});
        add("line_break", StartKind::Exe,
            [](const QString&, TestProgram&, QStringList& arguments, QString&) {
                arguments << QStringLiteral("--switch") << QStringLiteral("/S\n[Evil]");
            },
            {"\"/S<U+000A>[Evil]\""});
        add("empty_output_name", StartKind::Exe,
            [](const QString&, TestProgram&, QStringList&, QString& output) { output = QStringLiteral(".cab"); },
            {"\".cab\""});
    }
    // The entries file names the start file when the folder goes in as it is, the installer otherwise.
    cases.push_back({"start_file_outside_code_page_nocompact", StartKind::Exe, kNoCompact,
                     StartFileNamed(QStringLiteral("setup😀 ж.exe")), {"\"setup😀 ж.exe\"", "U+1F600", "1252"}});
    cases.push_back({"output_outside_code_page_level1", StartKind::Exe, 1,
                     [](const QString&, TestProgram&, QStringList&, QString& output) {
                         output = QStringLiteral("b3 ção😀.cab");
                     },
                     {"\"b3 ção😀.cab\"", "U+1F600"}});
    // What a cabinet cannot hold, when it holds the folder's files as they are.
    const QString longName = QString(120, QLatin1Char('d')) + QLatin1Char('/') + QString(127, QLatin1Char('f'));
    cases.push_back({"name_too_long_for_a_cabinet_nocompact", StartKind::Exe, kNoCompact, FileNamed(longName),
                     {longName, "256", "255"}});
    cases.push_back({"file_too_large_for_a_cabinet_nocompact", StartKind::Exe, kNoCompact,
                     [](const QString& folder, TestProgram&, QStringList&, QString&) {
                         QFile big(folder + QStringLiteral("/big.iso"));
                         ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(0x7FFF8001));  // sparse
                     },
                     {"\"big.iso\"", "2147450881"}});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Addon, RefusedName, ::testing::ValuesIn(EveryRule()), PrintRefusedName);

struct EdgeCase {
    const char* name;
    StartKind kind;
    int level;
    QString startFile;  // the start file's name right beside a rule
};

void PrintTo(const EdgeCase& c, std::ostream* os)
{
    *os << c.name;
}

std::string PrintEdgeName(const ::testing::TestParamInfo<EdgeCase>& info)
{
    return info.param.name;
}

// Names right beside each rule, which Windows takes as they are.
const QStringList kEdgeFiles = {QStringLiteral("a.b c.txt"),  QStringLiteral("CONSOLE.txt"), QStringLiteral("nula.txt"),
                                QStringLiteral("COM10.log"),  QStringLiteral("xnul.txt"),    QStringLiteral("100% sure.txt"),
                                QStringLiteral("sub/Readme.txt"), QStringLiteral("other/README.txt")};

class EdgeName : public AddonFixture, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(EdgeName, InstallsAndRunsUnderItsOwnName)
{
    const EdgeCase& c = GetParam();
    Prepare(c.kind, QString::fromLatin1(c.name));
    ASSERT_TRUE(QFile::rename(program_folder_ + QLatin1Char('/') + program_.startFile,
                              program_folder_ + QLatin1Char('/') + c.startFile));
    program_.startFile = c.startFile;
    for (const QString& name : kEdgeFiles)
        WriteInto(program_folder_ + QLatin1Char('/') + name, name.toUtf8());

    const Unpacked addon = BuildAndUnpack(c.level == kNoCompact ? QStringList{QStringLiteral("--no-compact")}
                                                                : QStringList{QStringLiteral("--level"), QString::number(c.level)});
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();
    const SetupRun run = Run(addon);
    ASSERT_TRUE(run.ran) << addon.addProgram.toStdString() << ":\n" << run.output.toStdString();
    EXPECT_EQ(run.exitCode, kChosenExitCode) << addon.addProgram.toStdString() << ":\n" << run.output.toStdString();

    const QStringList runs = Recorded(QStringLiteral("runs.txt"));
    EXPECT_EQ(runs.size(), 1) << runs.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Recorded(QStringLiteral("arguments.txt")), kRecordedArguments);
    const FileTree found = ReadTree(scratch_.path(QStringLiteral("record/tree")));
    EXPECT_EQ(found.value(c.startFile), ReadAll(program_folder_ + QLatin1Char('/') + c.startFile))
        << "the start file did not arrive under its name";
    for (const QString& name : kEdgeFiles)
        EXPECT_EQ(found.value(name), name.toUtf8()) << name.toStdString() << " did not arrive under its name";
    EXPECT_EQ(SubFolders(temp_), QStringList()) << "left in the temporary folder";
}

INSTANTIATE_TEST_SUITE_P(
    Addon, EdgeName,
    ::testing::Values(
        // Letters of code page 1252 in the start file that the entries file names (without a blank: Windows
        // setup runs the line unquoted, and the installer would see a word of its name as an argument).
        EdgeCase{"code_page_letters_nocompact", StartKind::Exe, kNoCompact, QStringLiteral("instalação_ñ.exe")},
        // The self-extractor's configuration is UTF-8: any name goes.
        EdgeCase{"any_letters_level1", StartKind::Exe, 1, QStringLiteral("setup😀 ж.exe")},
        // cmd would read "&" and "^" in a name it is given unquoted.
        EdgeCase{"ampersand_and_caret_nocompact", StartKind::Cmd, kNoCompact, QStringLiteral("in&stall^.cmd")},
        EdgeCase{"ampersand_and_caret_level1", StartKind::Cmd, 1, QStringLiteral("in&stall^.cmd")}),
    PrintEdgeName);

}  // namespace
