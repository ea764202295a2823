// The add-on's Windows programs, measured:
//  1. the size of each shipped i686 build against its target (the self-extractor module with its decoder at
//     most 48 KB, each runner at most 16 KB);
//  2. the x86-64 self-extractor under wine64 on an add-on of the mixed corpus (~200 MB) that packwright-build
//     packs at level 2: it extracts everything, runs a start file that notes the time and ends at once, and
//     removes the folder. Against it, pwunpack (the Linux build of the same reader) extracts the same
//     file. Target: extraction within 1.5 times. The runs alternate, each in a fresh process
//     timed with wait4(); medians are reported. For reference, what Wine's own xcopy and rmdir take to write
//     and remove the same files: under Wine every file costs far more than on Linux, whoever writes it.
//
//   windows_bench [corpus-folder]   builds the corpus there (or in a temporary folder) when it is missing
#include "MixedCorpus.h"
#include "TimedRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <ctime>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr double kTargetRatio = 1.5;

std::string Native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// The path under which Windows programs under Wine see a file of this machine (drive Z: is "/").
std::string WindowsPath(const QString& path)
{
    return Native(QStringLiteral("Z:") + QString(path).replace(QLatin1Char('/'), QLatin1Char('\\')));
}

template <typename T>
T Median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void PrintCommand(const std::vector<std::string>& command)
{
    std::string line = " ";
    for (const std::string& word : command)
        line += ' ' + word;
    std::printf("%s\n", line.c_str());
}

bool SizesWithinTargets()
{
    struct Program {
        const char* name;
        qint64 target;
    };
    const Program programs[] = {{"7zS.sfx", 48 << 10}, {"msistub.exe", 16 << 10}, {"batchrunner.exe", 16 << 10},
                                {"infrunner.exe", 16 << 10}};
    bool all = true;
    std::printf("i686 build in %s\n%-16s %10s %10s\n", PW_WINDOWS_I686_DIR, "program", "bytes", "target");
    for (const Program& p : programs) {
        const qint64 size = QFileInfo(QStringLiteral(PW_WINDOWS_I686_DIR "/") + QLatin1String(p.name)).size();
        const bool within = size > 0 && size <= p.target;
        all = all && within;
        std::printf("%-16s %10lld %10lld %s\n", p.name, static_cast<long long>(size), static_cast<long long>(p.target),
                    within ? "ok" : "OVER");
    }
    return all;
}

// The prefix's temporary folder (Wine 8 puts the user's %TEMP% in the profile's "Temp").
QString TempFolder(const QString& prefix)
{
    const QStringList users = QDir(prefix + QStringLiteral("/drive_c/users"))
                                  .entryList({QStringLiteral("[!P]*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    return users.isEmpty() ? QString()
                           : prefix + QStringLiteral("/drive_c/users/") + users.front() + QStringLiteral("/Temp");
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 UnixNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Phases {
    std::vector<double> extract, whole, pwunpack, pwunpackWithRemoval;
    std::vector<long> wholePeak, pwunpackPeak;
};

void PrintRow(const char* what, double seconds, double peakMiB = -1)
{
    if (peakMiB < 0)
        std::printf("%-62s %8.2f\n", what, seconds);
    else
        std::printf("%-62s %8.2f %9.1f\n", what, seconds, peakMiB);
}

int CompareExtraction(const QString& corpus)
{
    if (!QFileInfo::exists(corpus + QStringLiteral("/docs")))
        pwcorpus::MakeArchiveCorpus(corpus);
    QTemporaryDir scratch;
    const QString program = scratch.filePath(QStringLiteral("program"));
    // Hard links: the corpus stays as it is, the program folder costs nothing.
    if (!RunTimed({"cp", "-al", Native(corpus), Native(program)}, scratch.path()).ok &&
        !RunTimed({"cp", "-a", Native(corpus), Native(program)}, scratch.path()).ok)
        return 1;
    QFile::copy(QStringLiteral(PW_START_FILE), program + QStringLiteral("/setup.exe"));
    const qint64 programBytes = pwcorpus::FolderBytes(program);

    qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.filePath(QStringLiteral("data"))));
    const QString cabinet = scratch.filePath(QStringLiteral("addon.cab"));
    const std::vector<std::string> build = {PW_X86_64_APPDIR "/packwright-build", "--folder", Native(program),
                                            "--start", "setup.exe", "--level", "2", Native(cabinet)};
    const TimedRun built = RunTimed(build, scratch.path());
    if (!built.ok || !RunTimed({"cabextract", "-q", "-d", Native(scratch.filePath(QStringLiteral("cab"))),
                                Native(cabinet)}, scratch.path()).ok) {
        std::fprintf(stderr, "could not build and unpack the add-on\n");
        return 1;
    }
    const QString svcpack = scratch.filePath(QStringLiteral("cab/svcpack"));
    const QString installer = svcpack + QStringLiteral("/addon.exe");
    std::printf("\nprogram folder %.1f MB; add-on built in %.1f s; self-extractor %.1f MB\n", programBytes / 1e6,
                built.seconds, QFileInfo(installer).size() / 1e6);

    const QString stand = QStringLiteral(PW_WINE_STAND);
    const QString wineRoot = scratch.filePath(QStringLiteral("wine"));
    qputenv("PW_WINE_ROOT", QFile::encodeName(wineRoot));
    const QString stamp = scratch.filePath(QStringLiteral("started"));
    qputenv("PW_BENCH_STAMP", WindowsPath(stamp).c_str());
    if (!RunTimed({Native(stand), "start"}, scratch.path()).ok) {
        std::fprintf(stderr, "could not start the Wine stand\n");
        return 1;
    }
    const QString temp = TempFolder(wineRoot + QStringLiteral("/prefix"));
    const QString out = scratch.filePath(QStringLiteral("out"));
    const std::vector<std::string> onWine = {Native(stand), "run", Native(installer)};
    const std::vector<std::string> onLinux = {PW_PWUNPACK, Native(installer), Native(out)};
    Phases phases;
    int failures = 0;
    // Alternate the two so that a busy moment of the machine falls on both.
    for (int round = 0; round < kRounds && !failures; ++round) {
        QFile::remove(stamp);
        const qint64 before = UnixNanoseconds();
        const TimedRun w = RunTimed(onWine, svcpack);
        const qint64 started = ReadAll(stamp).trimmed().toLongLong();
        const QStringList left = QDir(temp).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (!w.ok || started <= before || !left.isEmpty()) {
            std::fprintf(stderr, "the self-extractor failed or left %s\n", qPrintable(left.join(QLatin1Char(' '))));
            ++failures;
        }
        QDir(out).removeRecursively();
        const TimedRun l = RunTimed(onLinux, scratch.path());
        if (!l.ok || pwcorpus::FolderBytes(out) != programBytes) {
            std::fprintf(stderr, "pwunpack failed\n");
            ++failures;
        }
        QElapsedTimer removal;
        removal.start();
        QDir(out).removeRecursively();
        phases.extract.push_back((started - before) / 1e9);
        phases.whole.push_back(w.seconds);
        phases.wholePeak.push_back(w.peakKiB);
        phases.pwunpack.push_back(l.seconds);
        phases.pwunpackPeak.push_back(l.peakKiB);
        phases.pwunpackWithRemoval.push_back(l.seconds + removal.nsecsElapsed() / 1e9);
    }
    // What writing and removing such a tree costs under Wine at all, whoever does it: Wine's own xcopy of the
    // program folder into the temporary folder, and its own "rmdir /s /q" of the copy.
    const TimedRun wineCopy =
        failures ? TimedRun{}
                 : RunTimed({Native(stand), "run", "xcopy", "/e", "/i", "/q", WindowsPath(program), "tree"}, temp);
    const TimedRun wineRemoval =
        wineCopy.ok ? RunTimed({Native(stand), "run", "cmd", "/c", "rmdir", "/s", "/q", "tree"}, temp) : TimedRun{};
    RunTimed({Native(stand), "stop"}, scratch.path());
    if (failures || !wineRemoval.ok)
        return 1;

    std::printf("\ncommands (medians of %d alternating runs):\n", kRounds);
    PrintCommand(build);
    PrintCommand(onWine);
    PrintCommand(onLinux);
    std::printf("%-62s %8s %9s\n", "", "wall s", "peak MiB");
    PrintRow("self-extractor under wine64, until its start file runs", Median(phases.extract));
    PrintRow("self-extractor under wine64, whole run (extract, run, remove)", Median(phases.whole),
             Median(phases.wholePeak) / 1024.0);
    PrintRow("pwunpack (extract)", Median(phases.pwunpack), Median(phases.pwunpackPeak) / 1024.0);
    PrintRow("pwunpack, then removal of what it extracted", Median(phases.pwunpackWithRemoval));
    PrintRow("Wine's own xcopy /e of the program folder (one run)", wineCopy.seconds);
    PrintRow("Wine's own cmd /c rmdir /s /q of that copy (one run)", wineRemoval.seconds);
    const double ratio = Median(phases.extract) / Median(phases.pwunpack);
    std::printf(
        "extraction ratio to pwunpack: %.2f (target %.1f: %s); to Wine's xcopy of the same files: %.2f\n"
        "whole run to pwunpack and removal: %.2f\n",
        ratio, kTargetRatio, ratio <= kTargetRatio ? "met" : "NOT met", Median(phases.extract) / wineCopy.seconds,
        Median(phases.whole) / Median(phases.pwunpackWithRemoval));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const bool sizesOk = SizesWithinTargets();
    QTemporaryDir scratch;
    const QString corpus = argc > 1 ? QFile::decodeName(argv[1]) : scratch.path();
    QDir().mkpath(corpus);
    const int extraction = CompareExtraction(QFileInfo(corpus).absoluteFilePath());
    return extraction != 0 ? extraction : sizesOk ? 0 : 1;
}
