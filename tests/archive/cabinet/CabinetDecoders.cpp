#include "CabinetDecoders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

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

// Test (where the decoder has a test mode) and extract; the first failing run is reported.
ToolRun Extract(Decoder decoder, const QString& cabinet, const QString& out)
{
    QList<QStringList> runs;
    switch (decoder) {
    case Decoder::Cabextract:
        runs = {{"-t", cabinet}, {"-q", "-d", out, cabinet}};
        break;
    case Decoder::Gcab:
        runs = {{"-t", cabinet}, {"-x", "-C", out, cabinet}};
        break;
    case Decoder::SevenZip:
        runs = {{"t", cabinet}, {"x", "-y", "-bd", "-o" + out, cabinet}};
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

FileTree ReadTree(const QString& folder)
{
    FileTree tree;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            tree.insert(QDir(folder).relativeFilePath(path), file.readAll());
    }
    return tree;
}

QString FastScratchRoot()
{
    const QFileInfo memory(QStringLiteral("/dev/shm"));
    return memory.isDir() && memory.isWritable() ? memory.filePath() : QDir::tempPath();
}

::testing::AssertionResult DecodersExtract(const QString& cabinet, const FileTree& expected,
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
        const FileTree got = ReadTree(out);
        if (got.keys() != expected.keys())
            return ::testing::AssertionFailure()
                   << name.toStdString() << " extracted " << got.keys().join(QLatin1Char(' ')).left(2000).toStdString()
                   << "\nexpected " << expected.keys().join(QLatin1Char(' ')).left(2000).toStdString();
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            if (got.value(it.key()) != it.value())
                return ::testing::AssertionFailure()
                       << name.toStdString() << ": content of " << it.key().toStdString() << " differs";
        }
        QDir(out).removeRecursively();
    }
    return ::testing::AssertionSuccess();
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
