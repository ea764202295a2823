// The Windows programs that add-ons carry run during Windows setup on Windows XP (32-bit): their headers must
// let XP's loader start them, and every function they import must exist in XP's DLLs, which a newer import
// would break with a loader error before a line of our code runs. The x86-64 builds, which the end-to-end
// tests run on every machine (the shipped ones only where 32-bit Wine runs), must import the same functions,
// or those tests would prove little about the shipped files.
#include "PeImports.h"
#include "support/TempDir.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace pwtest;

namespace {

constexpr uint16_t kI386 = 0x14c;
const char* const kShipped[] = {"7zS.sfx", "msistub.exe", "batchrunner.exe", "infrunner.exe", "tryrun.exe"};

struct Allowed {
    QString dll, function, client, source;
};

// The allowlist: "dll | function | minimum supported client | source" per line, "#" starts a comment.
std::vector<Allowed> ReadAllowlist(QString* error)
{
    QFile file(QStringLiteral(PW_XP_IMPORTS));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read ") + file.fileName();
        return {};
    }
    std::vector<Allowed> entries;
    int number = 0;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        ++number;
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('|'));
        if (fields.size() != 4) {
            *error += QStringLiteral("line %1 has %2 fields, not 4\n").arg(number).arg(fields.size());
            continue;
        }
        entries.push_back(
            {fields[0].trimmed().toLower(), fields[1].trimmed(), fields[2].trimmed(), fields[3].trimmed()});
    }
    return entries;
}

std::set<std::pair<QString, QString>> AllowedImports()
{
    QString error;
    std::set<std::pair<QString, QString>> allowed;
    for (const Allowed& entry : ReadAllowlist(&error))
        allowed.insert({entry.dll, entry.function});
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return allowed;
}

PeFacts Read(const QString& path)
{
    const QByteArray bytes = ReadAll(path);
    EXPECT_FALSE(bytes.isEmpty()) << "cannot read " << path.toStdString();
    PeFacts facts = ReadPeFacts(bytes);
    EXPECT_TRUE(facts.error.isEmpty()) << path.toStdString() << ": " << facts.error.toStdString();
    return facts;
}

class ShippedProgram : public ::testing::TestWithParam<const char*> {
protected:
    QString I686() const { return QStringLiteral(PW_APPDIR "/") + QString::fromLatin1(GetParam()); }
    QString X86_64() const { return QStringLiteral(PW_WINDOWS_X86_64_DIR "/") + QString::fromLatin1(GetParam()); }
};

TEST_P(ShippedProgram, IsA32BitProgramThatWindowsXpLoads)
{
    const PeFacts facts = Read(I686());
    EXPECT_EQ(facts.machine, kI386);
    EXPECT_TRUE(facts.pe32);
    EXPECT_LE(std::make_pair(facts.subsystemMajor, facts.subsystemMinor), std::make_pair(uint16_t(5), uint16_t(1)))
        << "subsystem version " << facts.subsystemMajor << "." << facts.subsystemMinor;
    EXPECT_LE(std::make_pair(facts.osMajor, facts.osMinor), std::make_pair(uint16_t(5), uint16_t(1)))
        << "operating system version " << facts.osMajor << "." << facts.osMinor;
    EXPECT_FALSE(facts.delayImports);
}

TEST_P(ShippedProgram, ImportsOnlyWhatWindowsXpHas)
{
    const PeFacts facts = Read(I686());
    const std::set<std::pair<QString, QString>> allowed = AllowedImports();
    QStringList unknown;
    for (const auto& [dll, functions] : facts.imports)
        for (const QString& function : functions)
            if (!allowed.count({dll, function}))
                unknown << dll + QLatin1Char(' ') + function;
    EXPECT_TRUE(unknown.isEmpty()) << "not in xp-imports.txt:\n" << unknown.join(QLatin1Char('\n')).toStdString();
}

TEST_P(ShippedProgram, ImportsWhatItsX86_64BuildImports)
{
    const PeFacts i686 = Read(I686());
    const PeFacts x86_64 = Read(X86_64());
    EXPECT_TRUE(i686.imports == x86_64.imports);
    for (const auto& [dll, functions] : i686.imports)
        for (const QString& function : functions)
            EXPECT_TRUE(x86_64.imports.count(dll) && x86_64.imports.at(dll).count(function))
                << "only the i686 build imports " << dll.toStdString() << " " << function.toStdString();
    for (const auto& [dll, functions] : x86_64.imports)
        for (const QString& function : functions)
            EXPECT_TRUE(i686.imports.count(dll) && i686.imports.at(dll).count(function))
                << "only the x86-64 build imports " << dll.toStdString() << " " << function.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ShippedProgram, ::testing::ValuesIn(kShipped), [](const ::testing::TestParamInfo<const char*>& info) {
        return QString::fromLatin1(info.param).replace(QLatin1Char('.'), QLatin1Char('_')).toStdString();
    });

// Each entry must say where the fact comes from, and that source must put the function in Windows XP or
// earlier; an entry for a later function would let the test pass a program that XP cannot load.
TEST(XpImportList, EveryEntryIsDocumentedForWindowsXp)
{
    QString error;
    const std::vector<Allowed> entries = ReadAllowlist(&error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_FALSE(entries.empty());
    static const QRegularExpression xpOrEarlier(
        QStringLiteral("^Windows (2000( Professional)?|XP( with SP[1-3])?)(, Windows XP)?$"));
    std::set<std::pair<QString, QString>> seen;
    for (const Allowed& entry : entries) {
        const std::string name = (entry.dll + QLatin1Char(' ') + entry.function).toStdString();
        EXPECT_TRUE(entry.dll.endsWith(QLatin1String(".dll"))) << name;
        EXPECT_TRUE(xpOrEarlier.match(entry.client).hasMatch()) << name << ": " << entry.client.toStdString();
        EXPECT_TRUE(entry.source.startsWith(QLatin1String("https://learn.microsoft.com/"))) << name;
        EXPECT_TRUE(seen.insert({entry.dll, entry.function}).second) << name << " is listed twice";
    }
}

}  // namespace
