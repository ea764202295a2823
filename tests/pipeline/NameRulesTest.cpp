// The names and values an add-on cannot carry, rule by rule, and the names right beside each rule that it
// can.
#include "pipeline/BuildTexts.h"
#include "pipeline/NameRules.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

std::optional<NameRule> RuleOf(const std::optional<NameRefusal>& refusal)
{
    return refusal ? std::optional<NameRule>(refusal->rule) : std::nullopt;
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
// svcpack\ and the path must fit in 255 bytes; a file must fit in one folder of the format. A 7z archive
// has neither limit, and a cabinet stores no folder.
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
