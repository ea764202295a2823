// Writes the same generated corpus with our cabinet writer and with gcab, stored and MSZIP, and reports
// wall time, peak memory and output size of each run. Every run is a fresh process, timed with wait4().
//
//   cabinet_bench [corpus-folder]     generates the corpus there (or in a temporary folder) and compares
//   cabinet_bench --write none|mszip CORPUS CABINET     one run of our writer (used by the comparison)
#include "MixedCorpus.h"
#include "TimedRun.h"
#include "archive/cabinet/TSTCabWriter.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>


#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Run {
    double seconds = 0;
    double peakMiB = 0;
    qint64 output = 0;
    bool ok = false;
};

Run Measure(const std::vector<std::string>& command, const QString& workDir, const QString& output)
{
    if (!output.isEmpty())
        QFile::remove(output);
    const TimedRun timed = RunTimed(command, workDir);
    return Run{timed.seconds, timed.peakKiB / 1024.0, QFileInfo(output).size(), timed.ok};
}

Run Best(const std::vector<std::string>& command, const QString& workDir, const QString& output)
{
    Run best;
    for (int i = 0; i < 2; ++i) {
        const Run run = Measure(command, workDir, output);
        if (!run.ok)
            return run;
        if (!best.ok || run.seconds < best.seconds)
            best = run;
    }
    return best;
}

int WriteOnce(const QString& kind, const QString& corpus, const QString& cabinet)
{
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

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("--write"))
        return WriteOnce(args[2], args[3], args[4]);

    QTemporaryDir scratch;
    const QString corpus = args.size() > 1 ? args[1] : scratch.filePath(QStringLiteral("corpus"));
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
    std::printf("corpus: %lld files, %.1f MB\n", qlonglong(files.size()), double(total) / 1e6);
    // Read everything once so that every run finds the corpus in the page cache.
    Measure({"sh", "-c", "cat $(find . -type f) > /dev/null"}, corpus, QString());

    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    const QString out = scratch.filePath(QStringLiteral("out.cab"));
    std::vector<std::string> gcab{"gcab", "-c", out.toStdString()};
    for (const QString& f : files)
        gcab.push_back(f.toStdString());
    std::vector<std::string> gcabZip = gcab;
    gcabZip.insert(gcabZip.begin() + 2, "-z");

    struct Row {
        const char* name;
        Run run;
    };
    const Row rows[] = {
        {"packwright stored", Best({self, "--write", "none", corpus.toStdString(), out.toStdString()}, corpus, out)},
        {"gcab -c          ", Best(gcab, corpus, out)},
        {"packwright MSZIP ", Best({self, "--write", "mszip", corpus.toStdString(), out.toStdString()}, corpus, out)},
        {"gcab -c -z       ", Best(gcabZip, corpus, out)},
    };
    std::printf("%-18s %9s %10s %14s\n", "run (best of 2)", "wall s", "peak MiB", "cabinet bytes");
    for (const Row& row : rows)
        std::printf("%-18s %9.2f %10.1f %14lld%s\n", row.name, row.run.seconds, row.run.peakMiB,
                    qlonglong(row.run.output), row.run.ok ? "" : "  FAILED");
    std::printf("stored: %.2fx gcab's speed; MSZIP: %.2fx gcab's speed, output %.4f of gcab's\n",
                rows[1].run.seconds / rows[0].run.seconds, rows[3].run.seconds / rows[2].run.seconds,
                double(rows[2].run.output) / double(rows[3].run.output));
    return 0;
}
