// Command lines as the Windows programs read and write them.
#include "CommandLine.h"

#include "windows/WideText.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace pwtest;

namespace {

using Reader = const PwChar* (*)(const PwChar*, RtText*);

std::vector<std::string> Split(const char16_t* commandLine, Reader read = RtCmd_NextArgument)
{
    std::vector<std::string> arguments;
    for (const PwChar* p = W(commandLine);;) {
        Text argument;
        p = read(p, argument.get());
        if (!p)
            return arguments;
        arguments.push_back(argument.str());
    }
}

struct SplitCase {
    const char16_t* line;
    std::vector<std::string> arguments;
};

void ExpectSplits(const std::vector<SplitCase>& cases, Reader read)
{
    for (const SplitCase& c : cases)
        EXPECT_EQ(Split(c.line, read), c.arguments) << "command line: " << U8(W(c.line));
}

TEST(RtCommandLine, SplitsByTheStartUpCodesRules)
{
    ExpectSplits(
        {
            // The C runtime's own examples.
            {u"\"a b c\" d e", {"a b c", "d", "e"}},
            {u"\"ab\\\"c\" \"\\\\\" d", {"ab\"c", "\\", "d"}},
            {u"a\\\\\\b d\"e f\"g h", {"a\\\\\\b", "de fg", "h"}},
            {u"a\\\\\\\"b c d", {"a\\\"b", "c", "d"}},
            {u"a\\\\\\\\\"b c\" d e", {"a\\\\b c", "d", "e"}},
            {u"a\"b\"\" c d", {"ab\" c d"}},  // two quotes inside quoting: one literal quote
            // Backslashes that no quote follows stand for themselves, and a blank after them ends the argument.
            {u"a\\ b", {"a\\", "b"}},
            {u"a\\\\ b", {"a\\\\", "b"}},
            {u"a\\\tb", {"a\\", "b"}},
            {u"TARGETDIR=C:\\App\\ /norestart /qb-!", {"TARGETDIR=C:\\App\\", "/norestart", "/qb-!"}},
            {u"C:\\ \\\\server\\share\\", {"C:\\", "\\\\server\\share\\"}},
            {u"\\", {"\\"}},
            // Inside quotes the blank belongs to the argument.
            {u"\"a\\ b\" c", {"a\\ b", "c"}},
            // Before a closing quote an even run is halved; an odd run makes the quote literal and quoting goes on.
            {u"\"C:\\App\\\\\" /x", {"C:\\App\\", "/x"}},
            {u"\"C:\\App\\\" /x", {"C:\\App\" /x"}},
            // Blanks and tabs around arguments; an empty quoted argument counts.
            {u"  \t x\t\"\"  ", {"x", ""}},
            {u"   ", {}},
        },
        RtCmd_NextArgument);
}

TEST(RtCommandLine, SplitsWithBackslashesAsPlainCharacters)
{
    ExpectSplits(
        {
            {u"INSTALLDIR=\"C:\\App\\\" /qb-!", {"INSTALLDIR=C:\\App\\", "/qb-!"}},
            {u"INSTALLDIR=C:\\App\\ /norestart", {"INSTALLDIR=C:\\App\\", "/norestart"}},
            {u"\\\\\"a b\" c\\", {"\\\\a b", "c\\"}},
            {u"P=\"say \"\"hi\"\"\" /q", {"P=say \"hi\"", "/q"}},
            {u"a\"b c\"d\te", {"ab cd", "e"}},
            {u" \t ", {}},
        },
        RtCmd_NextPlainArgument);
}

TEST(RtCommandLine, QuotedArgumentsComeBackUnchanged)
{
    const char16_t* samples[] = {u"",          u"plain",          u"two words", u"tab\there",      u"quote\"inside",
                                 u"back\\slash", u"ends in\\",    u"ends in\\\\", u"\\\"",         u"C:\\Program Files\\x\\",
                                 u"a\\\\\"b c"};
    Text commandLine;
    for (const char16_t* sample : samples) {
        RtCmd_AppendQuoted(commandLine.get(), W(sample), RtLength(W(sample)));
        RtText_AppendChar(commandLine.get(), ' ');
    }
    const std::vector<std::string> arguments = Split(reinterpret_cast<const char16_t*>(RtText_Z(commandLine.get())));
    ASSERT_EQ(arguments.size(), std::size(samples));
    for (size_t i = 0; i < arguments.size(); ++i)
        EXPECT_EQ(arguments[i], U8(W(samples[i])));

    Text plain;
    RtCmd_AppendQuoted(plain.get(), W(u"setup.exe"), 9);
    EXPECT_EQ(plain.str(), "setup.exe");
}

TEST(RtCommandLine, SkipsTheProgramNameWithoutReadingEscapes)
{
    EXPECT_EQ(U8(RtCmd_SkipProgramName(W(u"\"C:\\my dir\\\" a b"))), "a b");
    EXPECT_EQ(U8(RtCmd_SkipProgramName(W(u"x.exe \t a"))), "a");
    EXPECT_EQ(U8(RtCmd_SkipProgramName(W(u"\"unterminated"))), "");
}

struct KnownFiles {
    std::set<std::u16string> names;
    static int IsFile(void* context, const PwChar* name, size_t length)
    {
        return static_cast<KnownFiles*>(context)->names.count(
            std::u16string(reinterpret_cast<const char16_t*>(name), length));
    }
    std::string file;
    int known = -1;
    std::string Rest(const char16_t* args)
    {
        Text found;
        const PwChar* rest = RtCmd_LeadingFile(W(args), IsFile, this, found.get(), &known);
        file = found.str();
        return U8(rest);
    }
};

TEST(RtCommandLine, FindsTheLongestLeadingFileName)
{
    KnownFiles files;
    files.names = {u"my", u"my setup.msi", u"my  two.msi", u"x.cmd"};
    EXPECT_EQ(files.Rest(u"my setup.msi /qb-!"), "/qb-!");
    EXPECT_EQ(files.file, "my setup.msi");
    EXPECT_EQ(files.known, 1);
    EXPECT_EQ(files.Rest(u"my setup.msi"), "");
    EXPECT_EQ(files.Rest(u"my  two.msi  /q "), "/q ");
    EXPECT_EQ(files.file, "my  two.msi");
    EXPECT_EQ(files.Rest(u"my other.msi"), "other.msi");
    EXPECT_EQ(files.file, "my");

    // A quoted name is taken as it is quoted.
    EXPECT_EQ(files.Rest(u" \"x.cmd\" a"), "a");
    EXPECT_EQ(files.file, "x.cmd");
    EXPECT_EQ(files.known, 1);

    // Nothing known: the first argument, for the message.
    EXPECT_EQ(files.Rest(u"unknown file /x"), "file /x");
    EXPECT_EQ(files.file, "unknown");
    EXPECT_EQ(files.known, 0);
    EXPECT_EQ(files.Rest(u"  "), "");
    EXPECT_EQ(files.file, "");
    EXPECT_EQ(files.known, 0);
}

TEST(RtCommandLine, DropsOnlyALastWholeWord)
{
    const auto drop = [](const char16_t* args, const char16_t* word) -> std::string {
        size_t length = RtLength(W(args));
        if (!RtCmd_DropLastWord(W(args), &length, W(word)))
            return "(kept)";
        return U8(W(args), length);
    };
    EXPECT_EQ(drop(u"a \"b c\" hidcon", u"hidcon"), "a \"b c\"");
    EXPECT_EQ(drop(u"a HidCon \t", u"hidcon"), "a");
    EXPECT_EQ(drop(u"hidcon", u"hidcon"), "");
    EXPECT_EQ(drop(u"a nothidcon", u"hidcon"), "(kept)");
    EXPECT_EQ(drop(u"hidcon a", u"hidcon"), "(kept)");
    EXPECT_EQ(drop(u"", u"hidcon"), "(kept)");
}

}  // namespace
