#include "support/CabinetDecoders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>

namespace pwtest {
namespace {

const char* ProgramOf(Decoder decoder)
{
    switch (decoder) {
    case Decoder::Cabextract:
        return "cabextract";
    case Decoder::Gcab:
        return "gcab";
    case Decoder::SevenZip:
        return "7z";
    case Decoder::Bsdtar:
        return "bsdtar";
    }
    return "";
}

// List (where extracting does not list first) and extract, which checks every block's checksum; the first
// failing run is reported.
ToolRun Extract(Decoder decoder, const QString& cabinet, const QString& out)
{
    QList<QStringList> runs;
    switch (decoder) {
    case Decoder::Cabextract:
        runs = {{"-q", "-d", out, cabinet}};
        break;
    case Decoder::Gcab:
        runs = {{"-t", cabinet}, {"-x", "-C", out, cabinet}};
        break;
    case Decoder::SevenZip:
        runs = {{"x", "-y", "-bd", "-o" + out, cabinet}};
        break;
    case Decoder::Bsdtar:
        runs = {{"-tvf", cabinet}, {"-xf", cabinet, "-C", out}};
        break;
    }
    ToolRun last;
    for (const QStringList& arguments : runs) {
        last = RunTool(QString::fromLatin1(ProgramOf(decoder)), arguments);
        if (!last.ok)
            break;
    }
    return last;
}

}  // namespace

QStringList MissingDecoders()
{
    QStringList missing;
    for (Decoder decoder : kAllDecoders) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(ProgramOf(decoder))).isEmpty())
            missing << QString::fromLatin1(ProgramOf(decoder));
    }
    return missing;
}

ToolRun RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForStarted() || !process.waitForFinished(300000)) {
        run.output = program + QStringLiteral(" did not run: ") + process.errorString();
        return run;
    }
    run.output = QString::fromUtf8(process.readAll());
    run.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return run;
}

// Relative paths of every file below `folder`, sorted.
static QStringList ListFiles(const QString& folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

FileTree ReadTree(const QString& folder)
{
    FileTree tree;
    for (const QString& name : ListFiles(folder)) {
        QFile file(folder + QLatin1Char('/') + name);
        if (file.open(QIODevice::ReadOnly))
            tree.insert(name, file.readAll());
    }
    return tree;
}

QString FastScratchRoot()
{
    const QFileInfo memory(QStringLiteral("/dev/shm"));
    return memory.isDir() && memory.isWritable() ? memory.filePath() : QDir::tempPath();
}

namespace {

bool SameFiles(const QString& a, const QString& b)
{
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly) || first.size() != second.size())
        return false;
    constexpr qint64 kPiece = 4 << 20;
    while (!first.atEnd()) {
        if (first.read(kPiece) != second.read(kPiece))
            return false;
    }
    return true;
}

// Extracts with each decoder in turn and compares the files that come out with `expected` (sorted
// relative paths), asking `same` about each one's content.
::testing::AssertionResult CompareDecoded(const QString& cabinet, const QStringList& expected,
                                          const std::function<bool(const QString&, const QString&)>& same,
                                          std::initializer_list<Decoder> decoders)
{
    const QTemporaryDir scratch(FastScratchRoot() + QStringLiteral("/pw-decoded-XXXXXX"));
    for (Decoder decoder : decoders) {
        const QString name = QString::fromLatin1(ProgramOf(decoder));
        const QString out = scratch.path() + QStringLiteral("/") + name;
        QDir().mkpath(out);
        const ToolRun run = Extract(decoder, cabinet, out);
        if (!run.ok)
            return ::testing::AssertionFailure() << name.toStdString() << " failed:\n" << run.output.toStdString();
        const QStringList got = ListFiles(out);
        if (got != expected)
            return ::testing::AssertionFailure()
                   << name.toStdString() << " extracted " << got.join(QLatin1Char(' ')).left(2000).toStdString()
                   << "\nexpected " << expected.join(QLatin1Char(' ')).left(2000).toStdString();
        for (const QString& file : expected) {
            if (!same(file, out + QLatin1Char('/') + file))
                return ::testing::AssertionFailure() << name.toStdString() << ": content of " << file.toStdString()
                                                     << " differs";
        }
        QDir(out).removeRecursively();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

::testing::AssertionResult DecodersExtract(const QString& cabinet, const FileTree& expected,
                                           std::initializer_list<Decoder> decoders)
{
    QStringList names = expected.keys();
    names.sort();
    return CompareDecoded(
        cabinet, names,
        [&](const QString& file, const QString& extracted) {
            QFile got(extracted);
            return got.open(QIODevice::ReadOnly) && got.readAll() == expected.value(file);
        },
        decoders);
}

::testing::AssertionResult DecodersExtractFiles(const QString& cabinet, const FileSources& expected,
                                                std::initializer_list<Decoder> decoders)
{
    QStringList names = expected.keys();
    names.sort();
    return CompareDecoded(
        cabinet, names,
        [&](const QString& file, const QString& extracted) { return SameFiles(expected.value(file), extracted); },
        decoders);
}

FileSources FilesBelow(const QString& folder, const QString& prefix)
{
    FileSources files;
    for (const QString& name : ListFiles(folder))
        files.insert(prefix + name, folder + QLatin1Char('/') + name);
    return files;
}

QStringList ListedNames(const QString& cabinet)
{
    // cabextract -l prints "size | date time | name" rows between a dashed rule and an empty line.
    const ToolRun run = RunTool(QStringLiteral("cabextract"), {QStringLiteral("-l"), cabinet});
    QStringList names;
    bool inRows = false;
    for (const QString& line : run.output.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("-----------"))) {
            inRows = true;
            continue;
        }
        if (inRows && line.trimmed().isEmpty())
            inRows = false;
        if (inRows)
            names << line.section(QLatin1String(" | "), 2).trimmed();
    }
    return names;
}

}  // namespace pwtest
