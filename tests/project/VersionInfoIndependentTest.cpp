// Every fixture is read by the reader and by two tools that know nothing of it: the MinGW resource
// compiler, which decompiles every string table, and exiftool, which reads the first one.
#include "platform/CodePage.h"
#include "project/VersionInfoReader.h"

#include <QMap>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using pw::VersionInfoReader;

QString Fixture(const char* name)
{
    return QStringLiteral(PW_VERSION_FIXTURES "/") + QLatin1String(name);
}

QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString() << " did not run";
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A string literal of the decompiled resource script: "text" or L"text" with C escapes, the wide form
// writing characters as \ooo (octal) or \xhhhh.
QString RcLiteral(const QString& literal)
{
    static const QRegularExpression escape(QLatin1String(R"re(\\(x[0-9a-fA-F]{1,4}|[0-7]{1,3}|.))re"));
    QString body = literal.mid(literal.indexOf(u'"') + 1);
    body.chop(1);
    QString text;
    qsizetype at = 0;
    for (auto m = escape.globalMatch(body); m.hasNext();) {
        const auto match = m.next();
        text += body.mid(at, match.capturedStart() - at);
        const QString code = match.captured(1);
        if (code.startsWith(u'x'))
            text += QChar(code.mid(1).toUShort(nullptr, 16));
        else if (code.front().isDigit())
            text += QChar(code.toUShort(nullptr, 8));
        else
            text += code == u"n" ? QStringLiteral("\n") : code == u"t" ? QStringLiteral("\t") : code;
        at = match.capturedEnd();
    }
    return text + body.mid(at);
}

struct DecompiledResource {
    bool hasVersion = false;
    QString firstTranslation;                      // as the reader's key: language then code page
    QMap<QString, QMap<QString, QString>> tables;  // key of the table -> name -> value
};

DecompiledResource Decompile(const QString& path)
{
    static const QRegularExpression block(QLatin1String(R"re(^\s*BLOCK "([0-9A-Fa-f]{8})")re"));
    static const QRegularExpression value(QLatin1String(R"re(^\s*VALUE "([^"]+)", (L?".*")\s*$)re"));
    static const QRegularExpression translation(QLatin1String(R"re(^\s*VALUE "Translation", (0x[0-9a-f]+), (\d+))re"));
    DecompiledResource resource;
    QString table;
    const QString script = RunTool(QStringLiteral("x86_64-w64-mingw32-windres"),
                                   {QStringLiteral("-i"), path, QStringLiteral("-O"), QStringLiteral("rc")});
    for (const QString& line : script.split(u'\n')) {
        resource.hasVersion = resource.hasVersion || line.contains(u"VERSIONINFO");
        if (const auto m = block.match(line); m.hasMatch())
            table = m.captured(1).toUpper();
        else if (const auto t = translation.match(line); t.hasMatch() && resource.firstTranslation.isEmpty())
            resource.firstTranslation = QStringLiteral("%1%2")
                                            .arg(t.captured(1).toUInt(nullptr, 16), 4, 16, QLatin1Char('0'))
                                            .arg(t.captured(2).toUInt(), 4, 16, QLatin1Char('0'))
                                            .toUpper();
        else if (const auto v = value.match(line); v.hasMatch())
            resource.tables[table][v.captured(1)] = RcLiteral(v.captured(2));
    }
    return resource;
}

// exiftool's tags of the first string table, with the table's key built from its language and code page.
QMap<QString, QString> ExiftoolFirstTable(const QString& path)
{
    QMap<QString, QString> tags;
    const QString listing = RunTool(QStringLiteral("exiftool"), {QStringLiteral("-S"), QStringLiteral("-n"), path});
    for (const QString& line : listing.split(u'\n')) {
        const qsizetype colon = line.indexOf(QStringLiteral(": "));
        if (colon > 0)
            tags[line.left(colon)] = line.mid(colon + 2);
    }
    tags[QStringLiteral("key")] = (tags.value(QStringLiteral("LanguageCode")) +
                                   tags.value(QStringLiteral("CharacterSet"))).toUpper();
    return tags;
}

// The reader hands out texts in the system code page: what does not fit it comes back as "?".
QString ThroughSystemCodePage(const QString& text)
{
    return pw::AnsiToUnicode(pw::UnicodeToAnsi(text));
}

class IndependentReaders : public testing::TestWithParam<const char*> {};

TEST_P(IndependentReaders, AgreeOnEveryStringOfTheTranslationInUse)
{
    const QString path = Fixture(GetParam());
    VersionInfoReader reader;
    reader.SetFileName(path);
    const DecompiledResource windres = Decompile(path);

    EXPECT_EQ(reader.HasVersionData(), windres.hasVersion);
    EXPECT_EQ(reader.TranslationKey(), windres.firstTranslation);
    const QMap<QString, QString> table = windres.tables.value(windres.firstTranslation);
    for (int i = 0; i < VersionInfoReader::StringNameCount; ++i) {
        const QString name = QLatin1String(VersionInfoReader::StringNames[i]);
        EXPECT_EQ(reader.StringValue(i), ThroughSystemCodePage(table.value(name))) << name.toStdString();
    }
}

TEST_P(IndependentReaders, AgreeWithExiftoolWhenItsTableIsTheOneInUse)
{
    const QString path = Fixture(GetParam());
    VersionInfoReader reader;
    reader.SetFileName(path);
    const QMap<QString, QString> exiftool = ExiftoolFirstTable(path);
    if (exiftool.value(QStringLiteral("key")) != reader.TranslationKey()) {
        // Without a translation array nothing names a table; exiftool still shows the first one.
        EXPECT_TRUE(reader.TranslationKey().isEmpty());
        for (int i = 0; i < VersionInfoReader::StringNameCount; ++i)
            EXPECT_EQ(reader.StringValue(i), QString());
        return;
    }
    for (int i = 0; i < VersionInfoReader::StringNameCount; ++i) {
        const QString name = QLatin1String(VersionInfoReader::StringNames[i]);
        EXPECT_EQ(reader.StringValue(i), ThroughSystemCodePage(exiftool.value(name))) << name.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, IndependentReaders,
                         testing::Values("two-translations-pe32.exe", "two-translations-pe32plus.exe",
                                         "all-names-pe32.exe", "no-translation-pe32plus.exe",
                                         "no-version-pe32.exe", "no-resources-pe32plus.exe", "not-pe.exe",
                                         "truncated-pe32.exe"),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param).section(u'.', 0, 0).remove(u'-').toStdString();
                         });

}  // namespace
