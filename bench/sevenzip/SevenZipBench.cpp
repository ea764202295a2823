// Packs the generated corpus the way a user does: packwright-build making a plain 7z archive of the
// folder, against "7z a -mx=N -ms=off" in it, at our levels 0 and 2 (7-Zip's 0 and 5). Each command is a
// fresh process that the same shell (sh -c) starts; the two alternate, so that a busy moment of the
// machine falls on both, and the medians of the rounds are printed: wall time, processor time (user and
// system, with the children waited for) and peak memory, then the machine's load average.
//
//   sevenzip_bench [--level 0|2] [--mixed] [--rounds N] [corpus-folder]
//
// builds the corpus there (or in a temporary folder): the 200 MB archive corpus (a few big files and
// 4,000 small ones), or with --mixed the 300 MB mixed one (12,000 small files), given a start file.
// --level times that level alone: level 0 stores, so the difference left is the writer's own overhead,
// and on a shared machine it takes many rounds to see it.
#include "CompareArguments.h"
#include "MixedCorpus.h"
#include "TimedRun.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Level {
    int ours;
    int sevenZip;
};
constexpr Level kLevels[] = {{0, 0}, {2, 5}};

struct BenchOptions {
    std::vector<Level> levels{std::begin(kLevels), std::end(kLevels)};
    bool mixed = false;
};

// Takes --level and --mixed out of the arguments and leaves the rest; false on a level we do not time.
bool TakeBenchOptions(std::vector<char*>& arguments, BenchOptions& options)
{
    for (std::size_t i = 1; i < arguments.size();) {
        const QByteArray argument(arguments[i]);
        if (argument == "--mixed") {
            options.mixed = true;
            arguments.erase(arguments.begin() + std::ptrdiff_t(i));
        } else if (argument == "--level" && i + 1 < arguments.size()) {
            const QByteArray wanted(arguments[i + 1]);
            const auto level = std::find_if(std::begin(kLevels), std::end(kLevels),
                                            [&](const Level& l) { return QByteArray::number(l.ours) == wanted; });
            if (level == std::end(kLevels))
                return false;
            options.levels = {*level};
            arguments.erase(arguments.begin() + std::ptrdiff_t(i), arguments.begin() + std::ptrdiff_t(i + 2));
        } else {
            ++i;
        }
    }
    return true;
}

// The mixed corpus has no installer of its own: a build needs a start file at the folder's top.
void MakeMixedTree(const QString& corpus)
{
    if (!QFileInfo::exists(corpus + QStringLiteral("/small")))
        pwcorpus::MakeMixedCorpus(corpus);
    QFile start(corpus + QStringLiteral("/setup.exe"));
    if (!start.exists() && (!start.open(QIODevice::WriteOnly) || start.write("MZ" + QByteArray(64 << 10, '\0')) < 0))
        throw std::runtime_error("cannot write " + start.fileName().toStdString());
}

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

int Compare(const QString& corpus, const QString& tool, int rounds, const BenchOptions& options)
{
    if (options.mixed)
        MakeMixedTree(corpus);
    else if (!QFileInfo::exists(corpus + QStringLiteral("/setup.exe")))
        pwcorpus::MakeArchiveCorpus(corpus);
    std::printf("corpus %s: %.1f MB; %d rounds, medians\n", qPrintable(corpus), pwcorpus::FolderBytes(corpus) / 1e6,
                rounds);
    QTemporaryDir out;
    // The build's data folder goes to the scratch folder, not to the user's own.
    qputenv("XDG_DATA_HOME", QFile::encodeName(out.filePath(QStringLiteral("data"))));
    std::printf("%-6s %-16s %9s %9s %10s %12s\n", "level", "command", "wall s", "cpu s", "peak MiB", "archive MB");
    for (const Level& level : options.levels) {
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
    const char* usage = "sevenzip_bench [--level 0|2] [--mixed] [--rounds N] [corpus-folder]";
    std::vector<char*> arguments(argv, argv + argc);
    BenchOptions options;
    if (!TakeBenchOptions(arguments, options)) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return 2;
    }
    const auto parsed = ParseCompareArguments(int(arguments.size()), arguments.data(), usage);
    if (!parsed)
        return 2;
    QTemporaryDir scratch;
    const QString corpus = parsed->corpus.isEmpty() ? scratch.path() : parsed->corpus;
    QDir().mkpath(corpus);
    const QString tool = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/packwright-build");
    return Compare(QFileInfo(corpus).absoluteFilePath(), tool, parsed->rounds, options);
}
