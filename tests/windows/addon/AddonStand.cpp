#include "AddonStand.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace pwtest {
namespace {

// The folder that holds the stand of `arch`: its prefix, its home, and what its start said.
QString StandRoot(Arch arch)
{
    return qEnvironmentVariable(arch == Arch::I686 ? "PW_WINE32_ROOT" : "PW_WINE_ROOT");
}

// The install prefix the staged_layout fixture made for `arch`.
QString Stage(Arch arch)
{
    return QStringLiteral(PW_STAGE "/") + QLatin1String(ArchName(arch));
}

}  // namespace

const char* ArchName(Arch arch)
{
    return arch == Arch::I686 ? "i686" : "x86_64";
}

QString StandNote(Arch arch, const QString& note)
{
    QFile file(StandRoot(arch) + QLatin1Char('/') + note);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

ToolRun RunIn(const QString& folder, const QString& program, const QStringList& arguments,
              const QProcessEnvironment& environment, int limitMs)
{
    QProcess process;
    QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
    all.insert(environment);
    process.setProcessEnvironment(all);
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForStarted() || !process.waitForFinished(limitMs)) {
        process.kill();
        process.waitForFinished();
        run.output = QString::fromUtf8(process.readAll()) + QStringLiteral("\n%1 did not end within %2 s: %3")
                                                                 .arg(program)
                                                                 .arg(limitMs / 1000)
                                                                 .arg(process.errorString());
        return run;
    }
    run.output = QString::fromUtf8(process.readAll());
    run.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return run;
}

QString WindowsPath(const QString& unixPath)
{
    return QStringLiteral("Z:") + QDir::cleanPath(unixPath).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString DriveC(const QString& relative, Arch arch)
{
    return StandRoot(arch) + QStringLiteral("/prefix/drive_c/") + relative;
}

QString TestTool(const QString& name, Arch arch)
{
    return (arch == Arch::I686 ? QStringLiteral(PW_TEST_TOOLS_I686 "/") : QStringLiteral(PW_TEST_TOOLS "/")) + name;
}

QString AppDirFile(const QString& name, Arch arch)
{
    return Stage(arch) + QStringLiteral("/lib/packwright/") + name;
}

ToolRun RunOnWine(const QStringList& commandLine, const QString& folder, const QProcessEnvironment& environment,
                  Arch arch, int limitMs)
{
    QProcessEnvironment stand = environment;
    stand.insert(QStringLiteral("PW_WINE_ROOT"), StandRoot(arch));
    return RunIn(folder, QStringLiteral(PW_WINE_STAND), QStringList{QStringLiteral("run")} + commandLine, stand,
                 limitMs);
}

SetupRun RunSetupLine(const QString& line, const QString& folder, const QString& temp,
                      const QProcessEnvironment& environment, MessageBoxes boxes, Arch arch, int limitMs)
{
    QStringList commandLine = {TestTool(QStringLiteral("RunLine.exe"), arch), WindowsPath(temp), line};
    QProcessEnvironment all = environment;
    if (boxes == MessageBoxes::Answered) {
        commandLine.insert(1, QStringLiteral("--close-messages"));
        all.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all,fixme+dialog"));
    }
    const ToolRun run = RunOnWine(commandLine, folder, all, arch, limitMs);
    SetupRun result;
    result.output = run.output;
    static const QRegularExpression closedLine(QStringLiteral("^closed message=(.*?)\\r?$"),
                                               QRegularExpression::MultilineOption);
    for (auto it = closedLine.globalMatch(run.output); it.hasNext();)
        result.closedMessages << it.next().captured(1);
    result.timedMessages = int(run.output.count(QStringLiteral("MessageBoxTimeoutW timeout not supported")));
    static const QRegularExpression exitLine(QStringLiteral("^exit=(\\d+)\\r?$"),
                                             QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = exitLine.match(run.output);
    if (match.hasMatch()) {
        result.ran = true;
        result.exitCode = match.captured(1).toLongLong();
    }
    return result;
}

ToolRun BuildAddon(const QStringList& arguments, const QString& dataHome, Arch arch, int limitMs)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    return RunIn(QString(), Stage(arch) + QStringLiteral("/bin/packwright-build"), arguments, environment, limitMs);
}

Unpacked UnpackAddon(const QString& cabinet, const QString& folder)
{
    Unpacked result;
    const ToolRun extract
        = RunTool(QStringLiteral("cabextract"), {QStringLiteral("-q"), QStringLiteral("-d"), folder, cabinet});
    if (!extract.ok) {
        result.error = QStringLiteral("cabextract failed: ") + extract.output;
        return result;
    }
    const QStringList entries = QDir(folder).entryList({QStringLiteral("ENTRIES_*.ini")}, QDir::Files);
    if (entries.size() != 1) {
        result.error = QStringLiteral("expected one entries file, found: ") + entries.join(QLatin1Char(' '));
        return result;
    }
    QFile file(folder + QLatin1Char('/') + entries.front());
    file.open(QIODevice::ReadOnly);
    const QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
    const qsizetype section = lines.indexOf(QStringLiteral("[AddProgram]"));
    if (section < 0 || section + 1 >= lines.size()) {
        result.error = QStringLiteral("no [AddProgram] line in ") + entries.front();
        return result;
    }
    result.addProgram = lines[section + 1];
    result.svcpack = folder + QStringLiteral("/svcpack");
    return result;
}

QStringList SubFolders(const QString& folder)
{
    QStringList folders;
    QDirIterator it(folder, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        folders << QDir(folder).relativeFilePath(it.next());
    folders.sort();
    return folders;
}

QList<QMap<QString, QString>> ParseRecords(const QString& output)
{
    QList<QMap<QString, QString>> records;
    QMap<QString, QString> record;
    for (QString line : output.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line == QLatin1String("--")) {
            records << record;
            record.clear();
        } else if (const qsizetype equals = line.indexOf(QLatin1Char('=')); equals > 0) {
            record.insert(line.left(equals), line.mid(equals + 1));
        }
    }
    return records;
}

}  // namespace pwtest
