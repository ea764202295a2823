// Packs the same generated folder with our 7z writer and with "7z a -mx=N -ms=off" at levels 0 and 5,
// each run in a fresh process timed with wait4(), and prints wall time, peak memory and archive size.
//
//   sevenzip_bench [corpus-folder]            builds the corpus there (or in a temporary folder), compares
//   sevenzip_bench --pack LEVEL FOLDER ARCHIVE  one run of our writer, as the packing step sets it up
#include "MixedCorpus.h"
#include "TimedRun.h"
#include "archive/sevenzip/SevenZip.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>


#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 3;

int Pack(int level, const QString& folder, const QString& archive)
{
    pw::TSevenZip writer;
    writer.AddOptions = {pw::AddRecurseDirs};
    writer.FileList.Append(folder + QStringLiteral("/*.*"));
    writer.AddRootDir = folder;
    writer.SZFileName = archive;
    writer.LZMACompressStrength = level == 0 ? pw::SAVE : pw::NORMAL;
    return writer.Add() == 0 ? 0 : 1;
}

int Compare(const QString& corpus, const QString& self)
{
    if (!QFileInfo::exists(corpus + QStringLiteral("/docs")))
        MakeCorpus(corpus);
    std::printf("corpus %s: %.1f MB\n", qPrintable(corpus), FolderBytes(corpus) / 1e6);
    QTemporaryDir out;
    std::printf("%-6s %-8s %10s %10s %12s\n", "level", "writer", "wall s", "peak MiB", "archive MB");
    for (int level : {0, 5}) {
        const QString ours = out.filePath(QStringLiteral("ours%1.7z").arg(level));
        const QString theirs = out.filePath(QStringLiteral("7z%1.7z").arg(level));
        TimedRun best[2];
        // Alternate the two so that a busy moment of the machine falls on both; keep each one's best.
        for (int round = 0; round < kRounds; ++round) {
            QFile::remove(ours);
            QFile::remove(theirs);
            const TimedRun m[2] = {
                RunTimed({QFile::encodeName(self).toStdString(), "--pack", std::to_string(level),
                          QFile::encodeName(corpus).toStdString(), QFile::encodeName(ours).toStdString()},
                         corpus),
                RunTimed({"/usr/lib/p7zip/7z", "a", "-mx=" + std::to_string(level), "-ms=off",
                          QFile::encodeName(theirs).toStdString(), "."},
                         corpus)};
            for (int w = 0; w < 2; ++w) {
                if (!m[w].ok)
                    return 1;
                if (round == 0 || m[w].seconds < best[w].seconds)
                    best[w].seconds = m[w].seconds;
                best[w].peakKiB = round == 0 ? m[w].peakKiB : std::min(best[w].peakKiB, m[w].peakKiB);
            }
        }
        const qint64 sizes[2] = {QFileInfo(ours).size(), QFileInfo(theirs).size()};
        const char* names[2] = {"ours", "7z a"};
        for (int w = 0; w < 2; ++w)
            std::printf("%-6d %-8s %10.2f %10.1f %12.1f\n", level, names[w], best[w].seconds, best[w].peakKiB / 1024.0,
                        sizes[w] / 1e6);
        std::printf("%-6d ratio    %10.3f %10.3f\n", level, best[0].seconds / best[1].seconds,
                    double(best[0].peakKiB) / double(best[1].peakKiB));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc == 5 && QByteArray(argv[1]) == "--pack")
        return Pack(QByteArray(argv[2]).toInt(), QFile::decodeName(argv[3]), QFile::decodeName(argv[4]));
    QTemporaryDir scratch;
    const QString corpus = argc > 1 ? QFile::decodeName(argv[1]) : scratch.path();
    QDir().mkpath(corpus);
    return Compare(QFileInfo(corpus).absoluteFilePath(), QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
}
