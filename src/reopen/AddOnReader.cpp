#include "reopen/AddOnReader.h"

#include "pipeline/CabinetLayout.h"
#include "pipeline/EntriesFile.h"
#include "pipeline/PackStep.h"
#include "pipeline/StartCommand.h"
#include "platform/TextLines.h"
#include "project/FolderScan.h"
#include "project/StartFileKinds.h"
#include "reopen/ArchiveLevel.h"
#include "reopen/ProgramFolder.h"
#include "reopen/RepackedLevel.h"
#include "tryout/ChildRun.h"
#include "tryout/HostTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace pw {
namespace {

constexpr qint64 kSevenZipLimitMs = 30 * 60 * 1000;

// Runs 7-Zip with `arguments`; its output, or nothing when it failed (the output then says why).
bool RunSevenZip(const QString& program, const QStringList& arguments, QString* output)
{
    const ChildRun run = RunCommand({program, arguments}, kSevenZipLimitMs);
    *output = run.error.isEmpty() ? run.output : run.error;
    return run.end == RunEnd::Finished && run.exitCode == 0;
}

// What 7-Zip's output on `file` says is wrong: its error lines ("ERROR: Data Error : a.exe", "Unexpected
// end of archive" under its "ERRORS:" heading), each once, without its banner, its listing, its counts of
// errors and the lines that only name the file; its last line when it has none, such as the reason it
// could not be started.
QString Complaint(const QString& output, const QString& file)
{
    static const QRegularExpression wrong(
        QStringLiteral("ERROR:|Can ?not open|Can't open|Headers Error|Unexpected end|Is not archive|Data Error|"
                       "CRC Failed|Unsupported|Wrong password|data after the end"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression count(QStringLiteral(":\\s*\\d+$"));
    QStringList lines;
    QString last;
    for (const QString& text : output.split(QLatin1Char('\n'))) {
        const QString line = text.trimmed();
        if (!line.isEmpty())
            last = line;
        const QString said = QString(line).remove(file).remove(QStringLiteral("ERROR")).remove(QLatin1Char(':'));
        if (line.contains(wrong) && !line.contains(count) && !said.trimmed().isEmpty() && !lines.contains(line))
            lines.append(line);
    }
    return lines.isEmpty() ? last : lines.join(QStringLiteral("; "));
}

// How much of a self-extractor holds its module and configuration block: the module is some tens of KiB.
constexpr qint64 kHeadBytes = qint64(4) << 20;

// Copies `from`, from `offset` to its end, into the new file `to`.
bool CopyFrom(QFile& from, qint64 offset, const QString& to)
{
    QFile out(to);
    if (!from.seek(offset) || !out.open(QIODevice::WriteOnly))
        return false;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (qint64 n; (n = from.read(buffer.data(), buffer.size())) != 0;) {
        if (n < 0 || out.write(buffer.constData(), n) != n)
            return false;
    }
    return true;
}

// The entry of `folder` named `name` without regard to case, as Windows names it; empty when none is.
QString EntryNamed(const QString& folder, const QString& name, QDir::Filters filters)
{
    for (const QString& entry : QDir(folder).entryList(filters | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder + QLatin1Char('/') + entry;
    }
    return {};
}

// The start file and switch that make `written` as the build makes it, among the program's start files.
bool ReadStartCommand(const QString& written, RunnerNaming naming, const QString& program, BuildInputs& in)
{
    const std::optional<FolderScanResult> scan = FolderScan(program);
    for (const QString& startFile : scan ? scan->startFiles : QStringList()) {
        // Older builds ended the entries file's command too with the word that hides the runner's console.
        // The runner takes that last word as its own, so it is no part of the switch.
        QString command = written;
        const Runner* runner = RunnerOf(startFile);
        if (runner && naming == RunnerNaming::ProgramFile && !runner->selfExtractorArguments.isEmpty()
            && command.endsWith(runner->selfExtractorArguments))
            command.chop(runner->selfExtractorArguments.size());
        // The command with a mark for the switch shows where a switch stands in it.
        BuildInputs probe;
        probe.startFile = startFile;
        probe.silentSwitch = QStringLiteral("\x01");
        const QString marked = StartCommand(probe, naming);
        const qsizetype at = marked.indexOf(QLatin1Char('\x01'));
        probe.silentSwitch.clear();
        if (at >= 0 && command.size() > marked.size() - 1 && command.startsWith(marked.left(at))
            && command.endsWith(marked.mid(at + 1)))
            probe.silentSwitch = command.mid(at, command.size() - marked.size() + 1);
        if (StartCommand(probe, naming) == command) {
            in.startFile = startFile;
            in.silentSwitch = probe.silentSwitch;
            return true;
        }
    }
    return false;
}

class Reader {
public:
    Reader(const QString& cabinet, const QString& programFolder)
        : cabinet_(cabinet), target_(QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath()))
    {
    }

    ReopenedAddOn Read()
    {
        if (!CanTakeProgram(target_))
            return Fail(ReopenFailure::FolderNotEmpty, target_);
        sevenZip_ = FindTryTools().sevenZip;
        if (sevenZip_.isEmpty())
            return Fail(ReopenFailure::NoSevenZip, {});
        // The scratch folder stands beside the program folder, so that the program is moved there whole.
        const QString parent = QFileInfo(target_).path();
        QDir().mkpath(parent);
        QTemporaryDir scratch(parent + QStringLiteral("/.packwright-reopen-XXXXXX"));
        const QString cabFolder = scratch.path() + QStringLiteral("/cab");
        QString output;
        // -tcab: anything but a cabinet is refused, not opened as whatever archive it happens to be.
        if (!scratch.isValid()
            || !RunSevenZip(sevenZip_, {"x", "-tcab", "-y", "-bd", "-o" + cabFolder, "--", cabinet_}, &output))
            return Fail(ReopenFailure::NotAddOn, Complaint(output, cabinet_));
        QString command;
        ReadEntries(cabFolder, &command);
        const QString svcpack = EntryNamed(cabFolder, kCabinetProgramFolder, QDir::Dirs);
        if (svcpack.isEmpty())
            return Fail(ReopenFailure::NoProgram, {});
        QString program = svcpack;
        RunnerNaming naming = RunnerNaming::ProgramFile;
        const QString installer = command.contains(QLatin1Char(' ')) ? QString() : EntryNamed(svcpack, command, QDir::Files);
        QFile exe(installer);
        if (!installer.isEmpty() && exe.open(QIODevice::ReadOnly)) {
            // The module and its configuration block come first, and are small; the archive after them may be
            // most of a large add-on, and is copied from the file rather than held in memory.
            if (const std::optional<SelfExtractorParts> parts = SplitSelfExtractor(exe.read(kHeadBytes))) {
                program = scratch.path() + QStringLiteral("/program");
                const QString archive = scratch.path() + QStringLiteral("/files.7z");
                if (!ReadSelfExtractor(*parts, exe, archive, program, &output))
                    return Fail(ReopenFailure::NotAddOn, Complaint(output, archive));
                command = parts->runProgram;
                naming = RunnerNaming::RunWord;
            }
        }
        result_.inputs.compact = naming == RunnerNaming::RunWord;
        if (!command.isEmpty() && !ReadStartCommand(command, naming, program, result_.inputs))
            result_.unread.append({Unread::StartCommand, command});
        // Both layouts carry the start file's runner beside it (the self-extractor's archive, and the cabinet
        // of the folder as it is); the program does not, and a build refuses a program that holds its name.
        if (const Runner* runner = RunnerOf(result_.inputs.startFile))
            QFile::remove(program + QLatin1Char('/') + runner->program);
        QDir().rmdir(target_);
        if (!QDir().rename(program, target_))
            return Fail(ReopenFailure::FolderNotEmpty, target_);
        result_.inputs.sourceDir = target_;
        result_.inputs.folderText = target_;
        return result_;
    }

private:
    ReopenedAddOn Fail(ReopenFailure failure, const QString& detail)
    {
        ReopenedAddOn failed;
        failed.failure = failure;
        failed.detail = detail;
        return failed;
    }

    void ReadEntries(const QString& cabFolder, QString* command)
    {
        const QStringList names = QDir(cabFolder).entryList({QStringLiteral("ENTRIES_*.ini")}, QDir::Files | QDir::Hidden,
                                                            QDir::Name | QDir::IgnoreCase);
        if (names.isEmpty()) {
            result_.unread.append({Unread::EntriesFile, {}});
            return;
        }
        QFile file(cabFolder + QLatin1Char('/') + names.front());
        const EntriesFileParts parts = SplitEntriesFile(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        BuildInputs& in = result_.inputs;
        in.entriesText = parts.entriesText;
        if (const QStringList missing = ReadGeneralSection(SplitLines(in.entriesText), in.fields); !missing.isEmpty())
            result_.unread.append({Unread::GeneralKeys, missing.join(QStringLiteral(", "))});
        if (parts.command.isEmpty())
            result_.unread.append({Unread::AddProgram, {}});
        *command = parts.command;
    }

    // The configuration block's choices, the level of its archive, and the archive taken apart into `program`.
    bool ReadSelfExtractor(const SelfExtractorParts& parts, QFile& exe, const QString& archive,
                           const QString& program, QString* output)
    {
        BuildInputs& in = result_.inputs;
        in.overwriteMode = parts.overwriteMode;
        in.shortcuts = parts.shortcuts;
        for (const QString& line : parts.unreadLines)
            result_.unread.append({Unread::ConfigLine, line});
        if (parts.archiveOffset < 0 || !CopyFrom(exe, parts.archiveOffset, archive))
            return false;
        QString listing;
        if (!RunSevenZip(sevenZip_, {"l", "-slt", "-t7z", "--", archive}, &listing)
            || !RunSevenZip(sevenZip_, {"x", "-t7z", "-y", "-bd", "-o" + program, "--", archive}, output)) {
            *output = listing + *output;
            return false;
        }
        const QList<PackedFile> files = PackedFilesOfListing(listing);
        QList<int> levels = ReadLevel(files).fitting;
        QStringList methods;
        qint64 packedSize = 0;
        for (const PackedFile& file : files) {
            methods.append(file.method);
            packedSize += file.packedSize;
        }
        methods.removeDuplicates();
        if (levels.isEmpty())
            result_.unread.append({Unread::Level, methods.join(QStringLiteral(", "))});
        // The program as extracted, runner included, is what the archive holds: packed again at the level
        // that made it, it gives the same packed data. An archive that no level packs alike (another
        // version of 7-Zip made it) leaves the levels that fit undecided.
        if (levels.size() > 1) {
            const QList<int> alike =
                LevelsPackingAlike(archive, packedSize, program, levels, QFileInfo(archive).path());
            if (!alike.isEmpty())
                levels = alike;
        }
        in.compressionLevel = levels.value(0, 0);
        if (levels.size() > 1) {
            QStringList numbers;
            for (const int level : levels)
                numbers.append(QString::number(level));
            result_.unread.append({Unread::LevelUndecided, numbers.join(QStringLiteral(", "))});
        }
        return true;
    }

    const QString cabinet_;
    const QString target_;
    QString sevenZip_;
    ReopenedAddOn result_;
};

}  // namespace

ReopenedAddOn ReopenAddOn(const QString& cabinet, const QString& programFolder)
{
    return Reader(cabinet, programFolder).Read();
}

}  // namespace pw
