// Writes the same generated corpus with our cabinet writer and with gcab, stored and MSZIP, and reports
// wall time, peak memory and output size of each run. Every run is a fresh process, timed with wait4().
//
//   cabinet_bench [corpus-folder]     generates the corpus there (or in a temporary folder) and compares
//   cabinet_bench --write none|mszip CORPUS CABINET     one run of our writer (used by the comparison)
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
#include <cstring>
#include <string>
#include <vector>

namespace {

// xorshift64*: fast, repeatable bytes for the corpus.
struct Noise {
    std::uint64_t state;
    std::uint64_t Next()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 0x2545F4914F6CDD1DULL;
    }
};

QByteArray RandomBytes(Noise& noise, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; i += 8) {
        const std::uint64_t v = noise.Next();
        std::memcpy(bytes.data() + i, &v, size_t(std::min<qsizetype>(8, size - i)));
    }
    return bytes;
}

// Words drawn with a skewed (Zipf-like) frequency from a vocabulary of a few thousand, in the shapes of
// prose, settings files, logs and source code.
QByteArray TextLike(Noise& noise, qsizetype size)
{
    static const QList<QByteArray> vocabulary = [] {
        Noise letters{42};
        QList<QByteArray> words;
        for (int i = 0; i < 4000; ++i) {
            QByteArray word;
            const int length = 2 + int(letters.Next() % 9);
            for (int c = 0; c < length; ++c)
                word += char('a' + letters.Next() % 26);
            words << word;
        }
        return words;
    }();
    const auto word = [&] {
        const double u = double(noise.Next() % 1000000) / 1e6;
        return vocabulary[int(u * u * u * vocabulary.size())];
    };
    QByteArray text;
    text.reserve(size + 256);
    while (text.size() < size) {
        switch (noise.Next() % 4) {
        case 0:  // prose
            for (int i = 0, n = 5 + int(noise.Next() % 15); i < n; ++i)
                text += word() + (i + 1 < n ? " " : ".\r\n");
            break;
        case 1:  // settings
            text += word() + "_" + word() + "=" + QByteArray::number(qulonglong(noise.Next() % 5000)) + "\r\n";
            break;
        case 2:  // log
            text += "2024-0" + QByteArray::number(qulonglong(1 + noise.Next() % 9)) + "-1" +
                    QByteArray::number(qulonglong(noise.Next() % 10)) + " " + word() + ": " + word() + " " + word() +
                    " (" + QByteArray::number(qulonglong(noise.Next() % 100000)) + ")\r\n";
            break;
        default:  // code
            text += QByteArray(int(noise.Next() % 4) * 4, ' ') + "if (" + word() + "->" + word() + " != " + word() +
                    ") { " + word() + "(" + word() + ", " + QByteArray::number(qulonglong(noise.Next() % 64)) +
                    "); }\r\n";
        }
    }
    return text.left(size);
}

// Something like program code: repeated instruction-like records with varying operands and tables.
QByteArray BinaryLike(Noise& noise, qsizetype size)
{
    QByteArray bytes;
    bytes.reserve(size + 64);
    const QByteArray opcodes = RandomBytes(noise, 256);
    while (bytes.size() < size) {
        const std::uint64_t v = noise.Next();
        const int kind = int(v % 4);
        if (kind == 0)
            bytes += opcodes.mid(int(v >> 8) % 240, 4 + int(v >> 16) % 12);
        else if (kind == 1)
            bytes += QByteArray(int(v >> 8) % 24, '\0');
        else
            bytes += RandomBytes(noise, 1 + int(v >> 8) % 6);
    }
    return bytes.left(size);
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
}

// About 280 MB: large text-like files, program-like binaries, incompressible data, and 12,000 small files.
void MakeCorpus(const QString& root)
{
    Noise noise{0x9E3779B97F4A7C15ULL};
    for (int i = 0; i < 40; ++i)
        WriteFile(root + QStringLiteral("/text/doc%1.txt").arg(i), TextLike(noise, 2'500'000));
    for (int i = 0; i < 30; ++i)
        WriteFile(root + QStringLiteral("/bin/module%1.dll").arg(i), BinaryLike(noise, 2'700'000));
    for (int i = 0; i < 10; ++i)
        WriteFile(root + QStringLiteral("/media/blob%1.bin").arg(i), RandomBytes(noise, 7'000'000));
    for (int i = 0; i < 12000; ++i) {
        const qsizetype size = qsizetype(noise.Next() % 5000);
        const QString path = root + QStringLiteral("/small/d%1/f%2.%3").arg(i % 120).arg(i).arg(i % 3 ? "txt" : "dat");
        WriteFile(path, i % 3 ? TextLike(noise, size) : BinaryLike(noise, size));
    }
}

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
    if (!QFileInfo::exists(corpus + QStringLiteral("/small"))) {
        std::printf("generating the corpus in %s ...\n", qPrintable(corpus));
        MakeCorpus(corpus);
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
