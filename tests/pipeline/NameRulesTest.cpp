// The names and values an add-on cannot carry, rule by rule, and the names right beside each rule that it
// can.
#include "pipeline/AddOnNames.h"
#include "pipeline/BuildTexts.h"
#include "pipeline/NameRules.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

std::optional<NameRule> RuleOf(const std::optional<NameRefusal>& refusal)
{
    return refusal ? std::optional<NameRule>(refusal->rule) : std::nullopt;
}

// The rule a check refuses `subject` by, or nothing when it lets it pass.
template <class Check>
std::optional<NameRule> RefusedBy(Check&& check, QString* subject = nullptr, QString* detail = nullptr)
{
    try {
        check();
    } catch (const NameRefused& e) {
        if (subject)
            *subject = e.subject;
        if (detail)
            *detail = e.refusal.detail;
        return e.refusal.rule;
    }
    return std::nullopt;
}

FileInformation File(qint64 size = 0)
{
    FileInformation info;
    info.size = size;
    info.attributes = kAttributeArchive;
    return info;
}

FileInformation Folder()
{
    FileInformation info;
    info.attributes = kAttributeDirectory;
    return info;
}

class CodePageScope {
public:
    explicit CodePageScope(const char* codePage) { qputenv("PACKWRIGHT_CODEPAGE", codePage); }
    ~CodePageScope() { qunsetenv("PACKWRIGHT_CODEPAGE"); }
};

}  // namespace

TEST(NameRules, WindowsRulesForOneName)
{
    const struct {
        const char* name;
        std::optional<NameRule> rule;
        const char* detail;
    } cases[] = {
        {"a:b.txt", NameRule::Character, ":"},
        {"x:", NameRule::Character, ":"},
        {"a<b", NameRule::Character, "<"},
        {"a>b", NameRule::Character, ">"},
        {"say \"hi\"", NameRule::Character, "\""},
        {"back\\slash", NameRule::Character, "\\"},
        {"a|b", NameRule::Character, "|"},
        {"why?.txt", NameRule::Character, "?"},
        {"star*.txt", NameRule::Character, "*"},
        {"tab\there", NameRule::Character, "\t"},
        {"line\nbreak", NameRule::Character, "\n"},
        {"trailing.", NameRule::DotOrBlankAtEnd, ""},
        {"trailing ", NameRule::DotOrBlankAtEnd, ""},
        {"x.y.", NameRule::DotOrBlankAtEnd, ""},
        {"CON", NameRule::DeviceName, "CON"},
        {"nul.txt", NameRule::DeviceName, "NUL"},
        {"Aux.tar.gz", NameRule::DeviceName, "AUX"},
        {"prn .log", NameRule::DeviceName, "PRN"},
        {"com1", NameRule::DeviceName, "COM1"},
        {"LPT9.dat", NameRule::DeviceName, "LPT9"},
        // Right beside the rules.
        {"a.b c.txt", std::nullopt, ""},
        {"CONSOLE.txt", std::nullopt, ""},
        {"nula.txt", std::nullopt, ""},
        {"connect", std::nullopt, ""},
        {"COM0", std::nullopt, ""},
        {"COM10.txt", std::nullopt, ""},
        {"LPT", std::nullopt, ""},
        {"xnul.txt", std::nullopt, ""},
        {".hidden", std::nullopt, ""},
        {" leading blank", std::nullopt, ""},
        {"in&stall^.cmd", std::nullopt, ""},
        {"100% pure.txt", std::nullopt, ""},
        {"Ünïcødé 日本 😀.txt", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        const std::optional<NameRefusal> refusal = WindowsNameRule(QString::fromUtf8(c.name));
        EXPECT_EQ(RuleOf(refusal), c.rule) << c.name;
        if (refusal) {
            EXPECT_EQ(refusal->detail, QString::fromUtf8(c.detail)) << c.name;
        }
    }
}

TEST(NameRules, CabinetLimitsCodePageBatchFilesAndLineBreaks)
{
    // 255 bytes of UTF-8 fit; "é" takes two.
    EXPECT_FALSE(TooLongForCabinet(QString(255, QLatin1Char('n'))));
    EXPECT_EQ(RuleOf(TooLongForCabinet(QString(256, QLatin1Char('n')))), NameRule::TooLongForCabinet);
    EXPECT_FALSE(TooLongForCabinet(QString(127, QChar(0xE9)) + QStringLiteral("n")));
    EXPECT_EQ(RuleOf(TooLongForCabinet(QString(128, QChar(0xE9)))), NameRule::TooLongForCabinet);
    EXPECT_FALSE(TooLargeForCabinet(0x7FFF8000));
    EXPECT_EQ(RuleOf(TooLargeForCabinet(0x7FFF8001)), NameRule::TooLargeForCabinet);

    EXPECT_FALSE(OutsideCodePage(QStringLiteral("instalação ñ €.exe")));
    const std::optional<NameRefusal> emoji = OutsideCodePage(QStringLiteral("setup😀 ж.exe"));
    ASSERT_TRUE(emoji);
    EXPECT_EQ(emoji->detail, QStringLiteral("😀"));
    {
        const CodePageScope cyrillic("1251");
        EXPECT_FALSE(OutsideCodePage(QStringLiteral("установка.exe")));
        EXPECT_EQ(OutsideCodePage(QStringLiteral("b3 ção.exe"))->detail, QStringLiteral("ç"));
    }

    EXPECT_EQ(RuleOf(PercentInBatchFile(QStringLiteral("setup%OS%.cmd"))), NameRule::PercentInBatchFile);
    EXPECT_EQ(RuleOf(PercentInBatchFile(QStringLiteral("in&stall%x%^.BAT"))), NameRule::PercentInBatchFile);
    EXPECT_FALSE(PercentInBatchFile(QStringLiteral("in&stall^.cmd")));
    EXPECT_FALSE(PercentInBatchFile(QStringLiteral("100%.exe"))) << "only cmd expands the name it runs";

    EXPECT_EQ(RuleOf(LineBreakIn(QStringLiteral("/S\n[Evil]"))), NameRule::LineBreak);
    EXPECT_EQ(RuleOf(LineBreakIn(QStringLiteral("/S\r"))), NameRule::LineBreak);
    EXPECT_FALSE(LineBreakIn(QStringLiteral("/S /D=C:\\a b\t")));
}

// Windows compares names of one folder without regard to case: one file silently replaced the other.
TEST(FolderNameCheck, NamesOfOneFolderThatDifferOnlyInCase)
{
    FolderNameCheck check;
    check.Check(QStringLiteral("Readme.txt"), File());
    check.Check(QStringLiteral("Data"), Folder());
    check.Check(QStringLiteral("Data/x.txt"), File());
    check.Check(QStringLiteral("other/readme.txt"), File());
    check.Check(QStringLiteral("straße.txt"), File());
    check.Check(QStringLiteral("STRASSE.txt"), File());  // Windows does not make "ß" two letters
    check.Check(QStringLiteral("😀x.txt"), File());

    QString subject, detail;
    EXPECT_EQ(RefusedBy([&] { check.Check(QStringLiteral("README.txt"), File()); }, &subject, &detail),
              NameRule::SameNameButCase);
    EXPECT_EQ(subject, QStringLiteral("README.txt"));
    EXPECT_EQ(detail, QStringLiteral("Readme.txt"));
    EXPECT_EQ(RefusedBy([&] { check.Check(QStringLiteral("data"), Folder()); }), NameRule::SameNameButCase);
    EXPECT_EQ(RefusedBy([&] { check.Check(QStringLiteral("STRAßE.TXT"), File()); }), NameRule::SameNameButCase);
    EXPECT_EQ(RefusedBy([&] { check.Check(QStringLiteral("Sub/trailing."), File()); }, &subject),
              NameRule::DotOrBlankAtEnd);
    EXPECT_EQ(subject, QStringLiteral("Sub/trailing.")) << "named by its path in the program folder";
}

TEST(FolderNameCheck, TheRunnerBesideTheStartFileTakesItsNameAtTheTop)
{
    FolderNameCheck check;
    check.AddRunner(QStringLiteral("batchrunner.exe"));
    check.Check(QStringLiteral("tools/batchrunner.exe"), File());
    QString detail;
    EXPECT_EQ(RefusedBy([&] { check.Check(QStringLiteral("BatchRunner.EXE"), File()); }, nullptr, &detail),
              NameRule::RunnerName);
    EXPECT_EQ(detail, QStringLiteral("batchrunner.exe"));
}

// svcpack\ and the path must fit in 255 bytes; a file must fit in one folder of the format. A 7z archive
// has neither limit, and a cabinet stores no folder.
TEST(FolderNameCheck, CabinetLimitsApplyToTheCabinetsFilesOnly)
{
    const QString fits = QStringLiteral("d/") + QString(245, QLatin1Char('f'));  // svcpack\d\ + 245 = 255
    const QString over = QStringLiteral("d/") + QString(246, QLatin1Char('f'));
    FolderNameCheck cabinet(QStringLiteral("svcpack"));
    cabinet.Check(fits, File(0x7FFF8000));
    cabinet.Check(QStringLiteral("e/") + QString(250, QLatin1Char('g')), Folder());
    QString detail;
    EXPECT_EQ(RefusedBy([&] { cabinet.Check(over, File()); }, nullptr, &detail), NameRule::TooLongForCabinet);
    EXPECT_EQ(detail, QStringLiteral("svcpack\\d\\") + QString(246, QLatin1Char('f')));
    EXPECT_EQ(RefusedBy([&] { cabinet.Check(QStringLiteral("big.iso"), File(0x7FFF8001)); }, nullptr, &detail),
              NameRule::TooLargeForCabinet);
    EXPECT_EQ(detail, QStringLiteral("2147450881"));

    FolderNameCheck archive;
    archive.Check(over, File());
    archive.Check(QStringLiteral("big.iso"), File(0x7FFF8001));
}

TEST(AddOnValues, OneLineValuesOutputNameAndTheEntriesFilesCommand)
{
    BuildInputs in;
    in.startFile = QStringLiteral("setup.exe");
    in.silentSwitch = QStringLiteral("/S");
    in.compact = true;
    in.shortcuts.append(MakeShortcutEntry(QStringLiteral("Desktop"), 0, 1, QStringLiteral("app.exe"), QString(),
                                          QString(), QString(), QStringLiteral("App")));
    const QString target = QStringLiteral("/out/My App.cab");
    CheckAddOnValues(in, target);

    QString subject;
    auto refused = [&](BuildInputs changed, const QString& output = QStringLiteral("/out/My App.cab")) {
        subject.clear();
        return RefusedBy([&] { CheckAddOnValues(changed, output); }, &subject);
    };
    BuildInputs broken = in;
    broken.silentSwitch = QStringLiteral("/S\n[Evil]");
    EXPECT_EQ(refused(broken), NameRule::LineBreak);
    EXPECT_EQ(subject, QStringLiteral("/S\n[Evil]"));
    broken = in;
    broken.fields.Description = QStringLiteral("first\r\nsecond");
    EXPECT_EQ(refused(broken), NameRule::LineBreak);
    broken = in;
    broken.shortcuts[0].subItems[ShortcutEntry::Name] = QStringLiteral("App\n");
    EXPECT_EQ(refused(broken), NameRule::LineBreak);

    EXPECT_EQ(refused(in, QStringLiteral("/out/.cab")), NameRule::EmptyOutputName);
    EXPECT_EQ(subject, QStringLiteral(".cab"));
    EXPECT_EQ(refused(in, QStringLiteral("/out/a?b.cab")), NameRule::Character);
    EXPECT_EQ(refused(in, QStringLiteral("/out/CON.cab")), NameRule::DeviceName) << "svcpack\\CON.exe";
    EXPECT_EQ(refused(in, QStringLiteral("/out/b3 ção😀.cab")), NameRule::OutsideCodePage);
    EXPECT_EQ(subject, QStringLiteral("b3 ção😀.cab"));
    EXPECT_FALSE(refused(in, QStringLiteral("/out/b3 ção.cab")));
    // "ENTRIES_" + name + ".ini" and "svcpack\\" + name + ".exe" both hold 255 bytes with a name of 243.
    const auto named = [](int length) { return QLatin1String("/out/") + QString(length, QLatin1Char('n')) + QLatin1String(".cab"); };
    EXPECT_FALSE(refused(in, named(243)));
    EXPECT_EQ(refused(in, named(244)), NameRule::TooLongForCabinet);

    // The start file and its switch stand in the entries file only when the folder goes in as it is; the
    // self-extractor's configuration is UTF-8.
    BuildInputs direct = in;
    direct.compact = false;
    EXPECT_FALSE(refused(direct, QStringLiteral("/out/CON.cab")));
    EXPECT_FALSE(refused(direct, QStringLiteral("/out/b3 ção😀.cab")));
    direct.startFile = QStringLiteral("setup😀 ж.exe");
    EXPECT_EQ(refused(direct), NameRule::OutsideCodePage);
    EXPECT_EQ(subject, QStringLiteral("setup😀 ж.exe"));
    in.startFile = direct.startFile;
    EXPECT_FALSE(refused(in));
    direct.startFile = QStringLiteral("instalação.exe");
    direct.silentSwitch = QStringLiteral("/DIR=C:\\Программы");
    EXPECT_EQ(refused(direct), NameRule::OutsideCodePage);
    EXPECT_EQ(subject, direct.silentSwitch);

    for (bool compact : {true, false}) {
        BuildInputs batch = in;
        batch.compact = compact;
        batch.startFile = QStringLiteral("setup%OS%.cmd");
        EXPECT_EQ(refused(batch), NameRule::PercentInBatchFile);
        batch.startFile = QStringLiteral("in&stall^.cmd");
        EXPECT_FALSE(refused(batch));
    }
}

// Each message names what it refuses and why; a character is shown with its code point, and one without a
// glyph by its code point alone, so the message keeps its lines.
TEST(NameRules, MessagesNameTheFileAndTheCharacter)
{
    const BuildTexts texts;
    const NameRefused emoji(QStringLiteral("setup😀 ж.exe"), *OutsideCodePage(QStringLiteral("setup😀 ж.exe")));
    const QString message = RefusalText(emoji, texts);
    EXPECT_TRUE(message.contains(QStringLiteral("\"setup😀 ж.exe\""))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("\"😀\" (U+1F600)"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("1252"))) << message.toStdString();
    EXPECT_EQ(emoji.message(), message) << "the built-in texts";

    const QString tab = RefusalText(NameRefused(QStringLiteral("sub/a\tb"), *RefusedCharacter(QStringLiteral("a\tb"))), texts);
    EXPECT_TRUE(tab.contains(QStringLiteral("\"sub/a<U+0009>b\""))) << tab.toStdString();
    EXPECT_TRUE(tab.contains(QStringLiteral(" U+0009,"))) << tab.toStdString();
    EXPECT_FALSE(tab.contains(QLatin1Char('\t')));

    const QString same = RefusalText(NameRefused(QStringLiteral("README.txt"), {NameRule::SameNameButCase, QStringLiteral("Readme.txt")}), texts);
    EXPECT_TRUE(same.contains(QStringLiteral("\"README.txt\"")) && same.contains(QStringLiteral("\"Readme.txt\"")))
        << same.toStdString();

    BuildTexts english;
    english.NameLengthStr = QStringLiteral("%1|%2|%3|%4");
    EXPECT_EQ(RefusalText(NameRefused(QStringLiteral("d/é"), {NameRule::TooLongForCabinet, QStringLiteral("svcpack\\d\\é")}), english),
              QStringLiteral("d/é|svcpack\\d\\é|12|255"));
}
