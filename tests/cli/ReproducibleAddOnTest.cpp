// Add-ons built by packwright-build under SOURCE_DATE_EPOCH: the same inputs give the same bytes, however
// recently the files were touched, in whatever order a copy of the folder lists them and in whatever
// time zone the build runs.
#include "support/CabinetDecoders.h"
#include "support/TempDir.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using pwtest::TempDir;

constexpr qint64 kEpoch = 1700000000;  // 2023-11-14 22:13:20 UTC

struct BuildRun {
    int exitCode = -1;
    QString output;
};

// One packwright-build of `folder` into `output`, with SOURCE_DATE_EPOCH set to `epoch` (unset when
// empty) and the time zone `timeZone`.
BuildRun Build(const QString& folder, const QStringList& options, const QString& output, const QString& home,
          const QByteArray& epoch, const QString& timeZone = QStringLiteral("UTC"))
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home);
    env.insert(QStringLiteral("TZ"), timeZone);
    env.remove(QStringLiteral("SOURCE_DATE_EPOCH"));
    if (!epoch.isEmpty())
        env.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QString::fromLatin1(epoch));
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(PACKWRIGHT_BUILD),
               QStringList{"--folder", folder, "--start", "setup.exe", "--switch", "/S"} + options + QStringList{output});
    const bool finished = tool.waitForFinished(120000);
    return {finished ? tool.exitCode() : -1, QString::fromLocal8Bit(tool.readAll())};
}

void SetTime(const QString& path, qint64 seconds)
{
    const timespec times[2] = {{time_t(seconds), 0}, {time_t(seconds), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0) << path.toStdString();
}

// Gives every file and folder of the tree, the folder itself too, the time `seconds`: what touching them
// does, without waiting for the clock.
void SetTimes(const QString& folder, qint64 seconds)
{
    for (QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
         it.hasNext();)
        SetTime(it.next(), seconds);
    SetTime(folder, seconds);
}

// A program folder, its files written in the given order.
QString MakeProgram(const QString& folder, bool reversed)
{
    QList<std::pair<QString, QByteArray>> files;
    files << std::pair{QStringLiteral("setup.exe"), QByteArray("MZ") + QByteArray(40000, '\x90')};
    files << std::pair{QStringLiteral("readme.txt"), QByteArray("Read me first.\r\n").repeated(500)};
    for (int i = 0; i < 12; ++i)
        files << std::pair{QStringLiteral("data/part%1.bin").arg(i), QByteArray::number(i * 7919).repeated(9000 + i)};
    files << std::pair{QStringLiteral("data/deeper/empty.ini"), QByteArray()};
    if (reversed)
        std::reverse(files.begin(), files.end());
    for (const auto& [name, bytes] : files) {
        QDir().mkpath(QFileInfo(folder + QLatin1Char('/') + name).path());
        QFile file(folder + QLatin1Char('/') + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    return folder;
}

struct Output {
    const char* name;
    QStringList options;
};
const Output kOutputs[] = {
    {"compact.cab", {"--level", "2"}},
    {"files.cab", {"--no-compact"}},
    {"archive.7z", {"--level", "2"}},
};

// Builds every kind of output of `folder` into `out`; the self-extractor is taken out of the compact cabinet.
void BuildAll(const QString& folder, const QString& out, const TempDir& dir, const QString& timeZone = "UTC")
{
    ASSERT_TRUE(QDir().mkpath(out));
    for (const Output& o : kOutputs) {
        const BuildRun run = Build(folder, o.options, out + QLatin1Char('/') + QLatin1String(o.name), dir.path("home"),
                              QByteArray::number(kEpoch), timeZone);
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    }
    const pwtest::ToolRun extracted =
        pwtest::RunTool(QStringLiteral("cabextract"), {"-q", "-d", out + "/sfx", out + "/compact.cab"});
    ASSERT_TRUE(extracted.ok) << extracted.output.toStdString();
    ASSERT_TRUE(QFile::exists(out + "/sfx/svcpack/compact.exe"));
}

void ExpectSameBytes(const QString& first, const QString& second, const char* what)
{
    for (const QString name : {"compact.cab", "files.cab", "archive.7z", "sfx/svcpack/compact.exe"}) {
        const QByteArray a = pwtest::ReadAll(first + QLatin1Char('/') + name);
        ASSERT_FALSE(a.isEmpty()) << name.toStdString();
        EXPECT_TRUE(a == pwtest::ReadAll(second + QLatin1Char('/') + name)) << name.toStdString() << ": " << what;
    }
}

class ReproducibleAddOn : public ::testing::Test {
protected:
    void SetUp() override { PW_SKIP_WITHOUT_DECODERS(); }
    TempDir dir;
};

TEST_F(ReproducibleAddOn, TouchedFilesAndAnotherTimeZoneGiveTheSameBytes)
{
    const QString program = MakeProgram(dir.path("program"), false);
    SetTimes(program, kEpoch + 1000);
    BuildAll(program, dir.path("first"), dir);
    // Everything touched since, newer still than the epoch; and a builder in another time zone.
    SetTimes(program, kEpoch + 86400);
    BuildAll(program, dir.path("second"), dir, QStringLiteral("Asia/Tokyo"));
    ExpectSameBytes(dir.path("first"), dir.path("second"), "built again after a touch, in Tokyo");
}

TEST_F(ReproducibleAddOn, ACopyThatListsItsFilesInAnotherOrderGivesTheSameBytes)
{
    // In memory where the machine has such a file system: there a folder lists its entries in the order
    // they were made, so the copy, made the other way round, lists them the other way round.
    const QTemporaryDir scratch(pwtest::FastScratchRoot() + "/pw-reproducible-XXXXXX");
    const QString original = MakeProgram(scratch.filePath("original"), false);
    const QString copy = MakeProgram(scratch.filePath("elsewhere/copy"), true);
    SetTimes(original, kEpoch + 50);
    SetTimes(copy, kEpoch + 9000);
    BuildAll(original, dir.path("original"), dir);
    BuildAll(copy, dir.path("copy"), dir);
    ExpectSameBytes(dir.path("original"), dir.path("copy"), "built from a copy");
}

TEST_F(ReproducibleAddOn, OnlyTimesNewerThanTheEpochAreBroughtBackToIt)
{
    const QString program = MakeProgram(dir.path("program"), false);
    SetTimes(program, kEpoch + 3600);
    SetTime(program + "/readme.txt", kEpoch - 86400);  // 2023-11-13 22:13:20 UTC
    const auto modified = [&](const QByteArray& epoch) {
        const QString archive = dir.path("archive" + epoch + ".7z");
        EXPECT_EQ(Build(program, {}, archive, dir.path("home"), epoch).exitCode, 0);
        const pwtest::ToolRun listing = pwtest::RunTool(QStringLiteral("7z"), {"l", "-slt", archive});
        QMap<QString, QString> times;
        QString path;
        for (const QString& line : listing.output.split(QLatin1Char('\n'))) {
            if (line.startsWith("Path = "))
                path = line.mid(7).trimmed();
            else if (line.startsWith("Modified = "))
                times[path] = line.mid(11, 19);
        }
        return times;
    };
    const QMap<QString, QString> reproducible = modified(QByteArray::number(kEpoch));
    EXPECT_EQ(reproducible.value("readme.txt"), "2023-11-13 22:13:20");
    EXPECT_EQ(reproducible.value("setup.exe"), "2023-11-14 22:13:20");
    EXPECT_EQ(reproducible.value("data"), "2023-11-14 22:13:20");
    // Without the variable, files keep their own times.
    EXPECT_EQ(modified({}).value("setup.exe"), "2023-11-14 23:13:20");
}

TEST_F(ReproducibleAddOn, AnEpochThatIsNoTimeStopsTheBuildWithTheReason)
{
    const QString program = MakeProgram(dir.path("program"), false);
    const QString output = dir.path("out.cab");
    const BuildRun run = Build(program, {}, output, dir.path("home"), "yesterday");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.contains("SOURCE_DATE_EPOCH must be a number of seconds")) << run.output.toStdString();
    EXPECT_FALSE(QFile::exists(output));
}

}  // namespace
