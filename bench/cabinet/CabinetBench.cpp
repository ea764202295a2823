// Writes the same generated corpus with our cabinet writer and with gcab, stored and MSZIP (on one thread
// and on every core), and reports wall time, processor time, peak memory and output size of each run.
// Every run is a fresh process, timed with wait4(); ours and gcab's alternate, and the medians are shown.
//
//   cabinet_bench [--rounds N] [corpus-folder]   generates the corpus there (or in a temporary folder)
//   cabinet_bench --write none|mszip THREADS CORPUS CABINET   one run of our writer (used by the comparison)
#include "CompareArguments.h"
#include "MixedCorpus.h"
#include "TimedRun.h"
#include "archive/cabinet/TSTCabWriter.h"
#include "platform/cabinet/BlockPipeline.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Command {
    const char* name;
    std::vector<std::string> words;
    QString output;
    std::vector<double> wall, cpu;
    std::vector<long> peakKiB;
};

QByteArray LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray("?");
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int WriteOnce(const QString& kind, unsigned threads, const QString& corpus, const QString& cabinet)
{
    pw::fci::SetCompressionThreads(threads);
    pw::TSTCabWriter writer;
    writer.SetCompressionType(kind == QLatin1String("none") ? pw::TSTCabCompressionType::cctNone
                                                            : pw::TSTCabCompressionType::cctMsZip);
    try {
        writer.OpenCabinet(cabinet);
        writer.AddFiles(corpus + QStringLiteral("/*"), QString(), true);
        writer.CloseCabinet(true);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

int Compare(const QString& corpus, int rounds)
{
    QTemporaryDir scratch;
    if (!QFileInfo::exists(corpus + QStringLiteral("/numbers")) || !QFileInfo::exists(corpus + QStringLiteral("/small"))) {
        std::printf("generating the corpus in %s ...\n", qPrintable(corpus));
        pwcorpus::MakeMixedCorpus(corpus);
    }
    QStringList files;
    qint64 total = 0;
    for (QDirIterator it(corpus, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        it.next();
        files << QDir(corpus).relativeFilePath(it.filePath());
        total += it.fileInfo().size();
    }
    std::printf("corpus: %lld files, %.1f MB; %d rounds, medians\n", qlonglong(files.size()), double(total) / 1e6,
                rounds);
    // Read everything once so that every run finds the corpus in the page cache.
    RunTimed({"sh", "-c", "cat $(find . -type f) > /dev/null"}, corpus);

    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    const std::string folder = corpus.toStdString();
    const auto out = [&](const char* name) { return scratch.filePath(QLatin1String(name)); };
    const auto gcab = [&](bool compressed, const QString& output) {
        std::vector<std::string> words{"gcab", "-c"};
        if (compressed)
            words.push_back("-z");
        words.push_back(output.toStdString());
        for (const QString& f : files)
            words.push_back(f.toStdString());
        return words;
    };
    const auto ours = [&](const char* kind, const char* threads, const QString& output) {
        return std::vector<std::string>{self, "--write", kind, threads, folder, output.toStdString()};
    };
    Command commands[] = {
        {"packwright stored", ours("none", "0", out("stored.cab")), out("stored.cab"), {}, {}, {}},
        {"gcab -c", gcab(false, out("gcab.cab")), out("gcab.cab"), {}, {}, {}},
        {"packwright MSZIP, 1 thread", ours("mszip", "1", out("mszip1.cab")), out("mszip1.cab"), {}, {}, {}},
        {"packwright MSZIP", ours("mszip", "0", out("mszip.cab")), out("mszip.cab"), {}, {}, {}},
        {"gcab -c -z", gcab(true, out("gcabz.cab")), out("gcabz.cab"), {}, {}, {}},
    };
    const QByteArray loadBefore = LoadAverage();
    // Round after round, so that a busy moment of the machine falls on every command alike.
    for (int round = 0; round < rounds; ++round) {
        for (Command& c : commands) {
            QFile::remove(c.output);
            const TimedRun run = RunTimed(c.words, corpus);
            if (!run.ok) {
                std::fprintf(stderr, "failed: %s\n", c.name);
                return 1;
            }
            c.wall.push_back(run.seconds);
            c.cpu.push_back(run.cpuSeconds);
            c.peakKiB.push_back(run.peakKiB);
        }
    }
    std::printf("%-27s %8s %8s %9s %14s\n", "command", "wall s", "cpu s", "peak MiB", "cabinet bytes");
    for (const Command& c : commands)
        std::printf("%-27s %8.2f %8.2f %9.1f %14lld\n", c.name, MedianOf(c.wall), MedianOf(c.cpu),
                    MedianOf(c.peakKiB) / 1024.0, qlonglong(QFileInfo(c.output).size()));
    const double mszip = MedianOf(commands[3].wall);
    std::printf("stored: %.2fx gcab's speed; MSZIP: %.2fx gcab's speed (1 thread: %.2fx), output %.4f of gcab's\n",
                MedianOf(commands[1].wall) / MedianOf(commands[0].wall), MedianOf(commands[4].wall) / mszip,
                MedianOf(commands[4].wall) / MedianOf(commands[2].wall),
                double(QFileInfo(commands[3].output).size()) / double(QFileInfo(commands[4].output).size()));
    std::printf("MSZIP on every core %s the one-thread cabinet; load %s -> %s\n",
                Contents(commands[3].output) == Contents(commands[2].output) ? "is byte for byte" : "DIFFERS from",
                loadBefore.constData(), LoadAverage().constData());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 6 && args[1] == QLatin1String("--write"))
        return WriteOnce(args[2], args[3].toUInt(), args[4], args[5]);
    const auto parsed = ParseCompareArguments(argc, argv, "cabinet_bench [--rounds N] [corpus-folder]");
    if (!parsed)
        return 2;
    QTemporaryDir scratch;
    return Compare(parsed->corpus.isEmpty() ? scratch.filePath(QStringLiteral("corpus")) : parsed->corpus,
                   parsed->rounds);
}
