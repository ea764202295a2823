// Extracts one archive of the generated corpus (packed by "7z a -mx=5 -ms=off", as our writer's level 2)
// with pwunpack and with "7z x", alternating the two, each run in a fresh process timed with wait4(), and
// prints the median wall time and peak memory of each.
//
//   unpack_bench [corpus-folder]   builds the corpus there (or in a temporary folder) when it is missing
#include "MixedCorpus.h"
#include "TimedRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 7;

template <typename T>
T Median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Compare(const QString& corpus, const QString& pwunpack)
{
    if (!QFileInfo::exists(corpus + QStringLiteral("/docs")))
        MakeCorpus(corpus);
    const qint64 corpusBytes = FolderBytes(corpus);
    QTemporaryDir scratch;
    const std::string archive = QFile::encodeName(scratch.filePath(QStringLiteral("corpus.7z"))).toStdString();
    if (!RunTimed({"/usr/lib/p7zip/7z", "a", "-mx=5", "-ms=off", archive, "."}, corpus).ok)
        return 1;
    std::printf("corpus %s: %.1f MB, archive %.1f MB\n", qPrintable(corpus), corpusBytes / 1e6,
                QFileInfo(QFile::decodeName(archive.c_str())).size() / 1e6);
    const QString out[2] = {scratch.filePath(QStringLiteral("ours")), scratch.filePath(QStringLiteral("7z"))};
    const std::vector<std::string> commands[2] = {
        {QFile::encodeName(pwunpack).toStdString(), archive, QFile::encodeName(out[0]).toStdString()},
        {"/usr/lib/p7zip/7z", "x", "-y", "-o" + QFile::encodeName(out[1]).toStdString(), archive}};
    std::vector<double> seconds[2];
    std::vector<long> peaks[2];
    // Alternate the two so that a busy moment of the machine falls on both.
    for (int round = 0; round < kRounds; ++round) {
        for (int w = 0; w < 2; ++w) {
            QDir(out[w]).removeRecursively();
            const TimedRun run = RunTimed(commands[w], scratch.path());
            if (!run.ok || FolderBytes(out[w]) != corpusBytes) {
                std::fprintf(stderr, "run %d of %s failed\n", round, commands[w][0].c_str());
                return 1;
            }
            seconds[w].push_back(run.seconds);
            peaks[w].push_back(run.peakKiB);
        }
    }
    const char* names[2] = {"pwunpack", "7z x"};
    std::printf("%-9s %10s %10s   (medians of %d runs)\n", "extractor", "wall s", "peak MiB", kRounds);
    for (int w = 0; w < 2; ++w)
        std::printf("%-9s %10.2f %10.1f\n", names[w], Median(seconds[w]), Median(peaks[w]) / 1024.0);
    std::printf("%-9s %10.3f %10.3f\n", "ratio", Median(seconds[0]) / Median(seconds[1]),
                double(Median(peaks[0])) / double(Median(peaks[1])));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir scratch;
    const QString corpus = argc > 1 ? QFile::decodeName(argv[1]) : scratch.path();
    QDir().mkpath(corpus);
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return Compare(QFileInfo(corpus).absoluteFilePath(), QFileInfo(self).absolutePath() + QStringLiteral("/pwunpack"));
}
