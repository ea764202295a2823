// Packs the generated corpus the way a user does: packwright-build making a plain 7z archive of the
// folder, against "7z a -mx=N -ms=off" in it, at our levels 0 and 2 (7-Zip's 0 and 5). Each command is a
// fresh process that the same shell (sh -c) starts; the two alternate, so that a busy moment of the
// machine falls on both, and the medians of the rounds are printed: wall time, processor time (user and
// system, with the children waited for) and peak memory, then the machine's load average.
//
//   sevenzip_bench [--rounds N] [corpus-folder]   builds the corpus there (or in a temporary folder)
#include "CompareArguments.h"
#include "MixedCorpus.h"
#include "TimedRun.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Level {
    int ours;
    int sevenZip;
};
constexpr Level kLevels[] = {{0, 0}, {2, 5}};

std::string ShellQuoted(const QString& text)
{
    QByteArray quoted = QFile::encodeName(text);
    quoted.replace("'", "'\\''");
    return ('\'' + quoted + '\'').toStdString();
}

QByteArray LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray("?");
}

struct Samples {
    std::vector<double> wall, cpu;
    std::vector<long> peakKiB;
};

int Compare(const QString& corpus, const QString& tool, int rounds)
{
    if (!QFileInfo::exists(corpus + QStringLiteral("/setup.exe")))
        pwcorpus::MakeArchiveCorpus(corpus);
    std::printf("corpus %s: %.1f MB; %d rounds, medians\n", qPrintable(corpus), pwcorpus::FolderBytes(corpus) / 1e6,
                rounds);
    QTemporaryDir out;
    // The build's data folder goes to the scratch folder, not to the user's own.
    qputenv("XDG_DATA_HOME", QFile::encodeName(out.filePath(QStringLiteral("data"))));
    std::printf("%-6s %-16s %9s %9s %10s %12s\n", "level", "command", "wall s", "cpu s", "peak MiB", "archive MB");
    for (const Level& level : kLevels) {
        const QString archives[2] = {out.filePath(QStringLiteral("ours.7z")), out.filePath(QStringLiteral("7z.7z"))};
        const std::string commands[2] = {
            ShellQuoted(tool) + " --folder . --start setup.exe --level " + std::to_string(level.ours) + " " +
                ShellQuoted(archives[0]),
            "7z a -mx=" + std::to_string(level.sevenZip) + " -ms=off " + ShellQuoted(archives[1]) + " ."};
        const QByteArray loadBefore = LoadAverage();
        Samples samples[2];
        for (int round = 0; round < rounds; ++round) {
            for (int w = 0; w < 2; ++w) {
                QFile::remove(archives[w]);
                const TimedRun run = RunTimed({"sh", "-c", commands[w]}, corpus);
                if (!run.ok) {
                    std::fprintf(stderr, "failed: %s\n", commands[w].c_str());
                    return 1;
                }
                samples[w].wall.push_back(run.seconds);
                samples[w].cpu.push_back(run.cpuSeconds);
                samples[w].peakKiB.push_back(run.peakKiB);
            }
        }
        const char* names[2] = {"packwright-build", "7z a"};
        double medians[2][3];
        for (int w = 0; w < 2; ++w) {
            medians[w][0] = MedianOf(samples[w].wall);
            medians[w][1] = MedianOf(samples[w].cpu);
            medians[w][2] = MedianOf(samples[w].peakKiB) / 1024.0;
            std::printf("%-6d %-16s %9.2f %9.2f %10.1f %12.1f\n", level.ours, names[w], medians[w][0], medians[w][1],
                        medians[w][2], QFileInfo(archives[w]).size() / 1e6);
        }
        std::printf("%-6d %-16s %9.3f %9.3f %10.3f   load %s -> %s\n", level.ours, "ratio", medians[0][0] / medians[1][0],
                    medians[0][1] / medians[1][1], medians[0][2] / medians[1][2], loadBefore.constData(),
                    LoadAverage().constData());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const auto parsed = ParseCompareArguments(argc, argv, "sevenzip_bench [--rounds N] [corpus-folder]");
    if (!parsed)
        return 2;
    QTemporaryDir scratch;
    const QString corpus = parsed->corpus.isEmpty() ? scratch.path() : parsed->corpus;
    QDir().mkpath(corpus);
    const QString tool = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/packwright-build");
    return Compare(QFileInfo(corpus).absoluteFilePath(), tool, parsed->rounds);
}
