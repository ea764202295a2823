// Builds of one user that run at the same time, and builds ended at once: each keeps its temporary files
// in a scratch folder of its own, and nothing of a build is left in DataDir/temp or $TMPDIR.
#include "pipeline/BuildDriver.h"
#include "support/CabinetDecoders.h"
#include "support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <poll.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

using namespace pw;

namespace {

const QString kDataDir = QStringLiteral("/Brontel/Packwright/");

// A copy of the tool whose AppDir holds a stand-in self-extractor module, a home for its DataDir and a
// private folder for temporary files.
struct Bench {
    pwtest::TempDir dir;
    QString program, home, tmp;

    Bench()
    {
        dir.mkdir("app");
        program = dir.path("app/packwright-build");
        EXPECT_TRUE(QFile::copy(QStringLiteral(PACKWRIGHT_BUILD), program));
        dir.write("app/7zS.sfx", "SFX-STUB");
        home = dir.path("home");
        tmp = dir.mkdir("tmp");
    }
    QString TempDir() const { return home + kDataDir + QStringLiteral("temp/"); }

    void Start(QProcess& p, const QStringList& args) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home);
        env.insert(QStringLiteral("TMPDIR"), tmp);
        p.setProcessEnvironment(env);
        p.start(program, args);
    }
};

// Reads standard output until a line holds `text`; what was read, or everything when it never came.
QByteArray ReadUntil(QProcess& p, const QByteArray& text)
{
    QByteArray out;
    while (!out.contains(text) && p.waitForReadyRead(60000))
        out += p.readAllStandardOutput();
    return out;
}

// Waits, woken by the system rather than by polling, until an entry that `wanted` accepts is directly in
// one of `folders`. False when none came within a minute.
bool WaitForEntry(const QStringList& folders, const std::function<bool(const QString&)>& wanted)
{
    const int events = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    for (const QString& folder : folders)
        ::inotify_add_watch(events, QFile::encodeName(folder).constData(), IN_CREATE | IN_MOVED_TO);
    const auto present = [&] {
        for (const QString& folder : folders) {
            for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
                if (wanted(name))
                    return true;
            }
        }
        return false;
    };
    QElapsedTimer timer;
    timer.start();
    bool found = present();
    while (!found && timer.elapsed() < 60000) {
        pollfd ready{events, POLLIN, 0};
        if (::poll(&ready, 1, int(60000 - timer.elapsed())) > 0) {
            char buffer[4096];
            while (::read(events, buffer, sizeof buffer) > 0) {
            }
        }
        found = present();
    }
    ::close(events);
    return found;
}

// The program a compacted add-on carries: the archive after the stand-in module and the configuration
// block, read by 7z.
QByteArray PackedFile(const pwtest::TempDir& dir, const QString& cabinet, const QString& name)
{
    const QString out = dir.mkdir("x-" + QFileInfo(cabinet).baseName());
    EXPECT_TRUE(pwtest::RunTool(QStringLiteral("cabextract"), {"-q", "-d", out, cabinet}).ok) << cabinet.toStdString();
    const QByteArray installer = pwtest::ReadAll(out + "svcpack/" + QFileInfo(cabinet).baseName() + ".exe");
    const qsizetype archiveStart = installer.indexOf(QByteArray("7z\xBC\xAF\x27\x1C", 6));
    EXPECT_GT(archiveStart, 0);
    const QString archive = dir.write("inner-" + QFileInfo(cabinet).baseName() + ".7z", installer.mid(archiveStart));
    QProcess p;
    p.start(QStringLiteral("7z"), {"x", "-so", archive, name});
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
}

// A program folder whose start file says whose it is, and whose sparse file makes its packing take a
// while.
QString ProgramFolder(const pwtest::TempDir& dir, const QString& name, qint64 padding)
{
    dir.write(name + "/setup.exe", "MZ the program of " + name.toUtf8());
    QFile big(dir.write(name + "/padding.bin"));
    EXPECT_TRUE(big.resize(padding));
    return dir.path(name);
}

}  // namespace

TEST(BuildsSideBySide, TwoScriptsAndAWindowOfOneUserEachPackTheirOwnProgram)
{
    PW_SKIP_WITHOUT_DECODERS();
    Bench b;
    const QString first = ProgramFolder(b.dir, "First", qint64(512) << 20);
    const QString second = ProgramFolder(b.dir, "Second", qint64(64) << 20);
    const QString third = ProgramFolder(b.dir, "Third", qint64(16) << 20);

    // The first build is packing when the others start: each of them begins by clearing what earlier
    // builds left in DataDir/temp.
    QProcess p1, p2;
    b.Start(p1, {"--folder", first, "--start", "setup.exe", "--level", "2", b.dir.path("First.cab")});
    EXPECT_TRUE(ReadUntil(p1, "7-Zip").contains("7-Zip"));
    b.Start(p2, {"--folder", second, "--start", "setup.exe", "--level", "2", b.dir.path("Second.cab")});

    // The window's build, in this process, on the same DataDir.
    class WindowUi : public BuildUi {
    public:
        explicit WindowUi(QString output) : output_(std::move(output)) {}
        std::optional<SaveChoice> askSaveFile(const SaveSuggestion&) override { return SaveChoice{output_, OutputKind::Cabinet}; }
        void setStatus(const QString&) override {}
        void setProgress(double) override {}
        void processEvents() override {}
        void showMessage(const QString& text, MessageKind) override { message = text; }
        void setBuilding(bool) override {}
        QString message;

    private:
        QString output_;
    } window(b.dir.path("Third.cab"));
    BuildInputs in;
    in.appDir = b.dir.path("app/");
    in.dataDir = b.home + kDataDir;
    in.sourceDir = in.folderText = third;
    in.startFile = QStringLiteral("setup.exe");
    in.compressionLevel = 2;
    BuildDriver driver(window);
    EXPECT_EQ(driver.Build(in), BuildDriver::Outcome::Succeeded) << window.message.toStdString();

    for (QProcess* p : {&p1, &p2}) {
        EXPECT_TRUE(p->waitForFinished(300000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    for (const QString name : {"First", "Second", "Third"})
        EXPECT_EQ(PackedFile(b.dir, b.dir.path(name + ".cab"), "setup.exe"), "MZ the program of " + name.toUtf8());
    EXPECT_EQ(pwtest::EntriesBelow(b.TempDir()), QStringList());
    EXPECT_EQ(pwtest::EntriesBelow(b.tmp), QStringList());
}

namespace {

// Starts a build, waits until `phase` is under way and has written the file `written` names, then sends
// Ctrl+C twice, `gap` apart, and waits for the end.
void InterruptTwice(const Bench& b, const QStringList& args, const QByteArray& phase,
                    const std::function<bool(const QString&)>& written, std::chrono::milliseconds gap)
{
    QProcess p;
    b.Start(p, args);
    const QByteArray out = ReadUntil(p, phase);
    ASSERT_TRUE(out.contains(phase)) << out.data() << p.readAllStandardError().data();
    const QString scratch = pwtest::OnlyFolderIn(b.TempDir());
    ASSERT_TRUE(WaitForEntry(scratch.isEmpty() ? QStringList{b.tmp} : QStringList{scratch, b.tmp}, written));
    ::kill(pid_t(p.processId()), SIGINT);
    std::this_thread::sleep_for(gap);  // the gap is what is tried here, not a wait for something
    ::kill(pid_t(p.processId()), SIGINT);
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_TRUE(p.exitStatus() == QProcess::CrashExit || p.exitCode() == 1) << p.exitCode();
}

}  // namespace

TEST(BuildsSideBySide, ASecondCtrlCLeavesNothingOfTheBuildWhateverItsMoment)
{
    Bench b;
    // Random letters of 64 kinds keep the cabinet library compressing for a while (uniformly random bytes
    // it stores without trying); the sparse file keeps 7-Zip packing.
    QByteArray noise(24 << 20, Qt::Uninitialized);
    quint32 x = 99;
    for (char& c : noise)
        c = char(0x20 + ((x = x * 1664525u + 1013904223u) >> 26));
    b.dir.write("p/setup.exe", "MZ");
    b.dir.write("p/noise.bin", noise);
    QFile big(b.dir.write("q/padding.bin"));
    ASSERT_TRUE(big.resize(qint64(1) << 30));
    b.dir.write("q/setup.exe", "MZ");
    const QString out = b.dir.mkdir("out");

    for (const int gap : {1, 2, 5, 10, 20}) {
        SCOPED_TRACE(gap);
        InterruptTwice(b, {"--folder", b.dir.path("p"), "--start", "setup.exe", "--no-compact", out + "a.cab"},
                       "CAB", [](const QString& name) { return name.startsWith(QStringLiteral("stc")); },
                       std::chrono::milliseconds(gap));
        InterruptTwice(b, {"--folder", b.dir.path("q"), "--start", "setup.exe", "--level", "2", out + "b.cab"},
                       "7-Zip", [](const QString& name) { return name == QStringLiteral("files.7z"); },
                       std::chrono::milliseconds(gap));
        EXPECT_EQ(pwtest::EntriesBelow(b.tmp), QStringList());
        EXPECT_EQ(pwtest::EntriesBelow(b.TempDir()), QStringList());
        EXPECT_EQ(pwtest::EntriesBelow(out), QStringList());
    }
}
