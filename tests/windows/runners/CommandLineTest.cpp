// Command lines as the Windows programs read and write them.
#include "CommandLine.h"

#include "windows/WideText.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace pwtest;

namespace {

std::vector<std::string> Split(const char16_t* commandLine)
{
    std::vector<std::string> arguments;
    for (const PwChar* p = W(commandLine);;) {
        Text argument;
        p = RtCmd_NextArgument(p, argument.get());
        if (!p)
            return arguments;
        arguments.push_back(argument.str());
    }
}

TEST(RtCommandLine, SplitsByTheStartUpCodesRules)
{
    using Args = std::vector<std::string>;
    EXPECT_EQ(Split(u"\"a b c\" d e"), (Args{"a b c", "d", "e"}));
    EXPECT_EQ(Split(u"\"ab\\\"c\" \"\\\\\" d"), (Args{"ab\"c", "\\", "d"}));
    EXPECT_EQ(Split(u"a\\\\\\b d\"e f\"g h"), (Args{"a\\\\\\b", "de fg", "h"}));
    EXPECT_EQ(Split(u"a\\\\\\\"b c d"), (Args{"a\\\"b", "c", "d"}));
    EXPECT_EQ(Split(u"a\\\\\\\\\"b c\" d e"), (Args{"a\\\\b c", "d", "e"}));
    EXPECT_EQ(Split(u"a\"b\"\" c d"), (Args{"ab\" c d"}));  // two quotes inside quoting: one literal quote
    EXPECT_EQ(Split(u"  \t x\t\"\"  "), (Args{"x", ""}));
    EXPECT_EQ(Split(u"   "), Args{});
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
