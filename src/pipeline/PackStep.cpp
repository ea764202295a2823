#include "pipeline/PackStep.h"

#include "archive/sevenzip/ItemGathering.h"
#include "pipeline/AddOnNames.h"
#include "pipeline/AppFiles.h"
#include "pipeline/StartCommand.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/SourceDateEpoch.h"
#include "platform/TextLines.h"
#include "project/StartFileKinds.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <iterator>

namespace pw {
namespace {

const QString kQuote = QStringLiteral("\"");

int ParsedCode(const QString& text)
{
    bool ok = false;
    const int code = text.toInt(&ok, 10);
    return ok ? code : -1;
}

// The self-extractor's letter for each shortcut location code, and the folder each folder code puts before
// the target (none for code 0), with its backslashes doubled as the configuration wants them.
const QString kLocationLetters[] = {QStringLiteral("D"), QStringLiteral("S"), QStringLiteral("P"), QStringLiteral("T")};
const QString kFolderPrefixes[] = {QString(),
                                   QStringLiteral("%ProgramFiles%\\\\"),
                                   QStringLiteral("\"%CommonDocuments%\\\\"),
                                   QStringLiteral("\"%MyDocuments%\\\\"),
                                   QStringLiteral("\"%UserDesktop%\\\\"),
                                   QStringLiteral("\"%%S\\\\"),
                                   QStringLiteral("\"%%T\\\\")};
const QString kShortcutKey = QStringLiteral("Shortcut=");
const QString kShortcutSeparator = QStringLiteral("},{");
const QString kRunProgramKey = QStringLiteral("RunProgram=");
const QString kGuiModeKey = QStringLiteral("GUIMode=");
const QString kOverwriteKey = QStringLiteral("OverwriteMode=");
const QString kConfigBegin = QStringLiteral(";!@Install@!UTF-8!");
const QString kConfigEnd = QStringLiteral(";!@InstallEnd@!");

QString ShortcutLine(const ShortcutEntry& row)
{
    const int location = ParsedCode(row.subItem(ShortcutEntry::LocationCode));
    const int folder = ParsedCode(row.subItem(ShortcutEntry::FolderCode));
    QString target = row.subItem(ShortcutEntry::Target);
    target.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return kShortcutKey + kQuote + (location >= 0 && location <= 3 ? kLocationLetters[location] : QString())
           + QStringLiteral("u,{") + (folder >= 1 && folder <= 6 ? kFolderPrefixes[folder] : QString()) + target
           + kShortcutSeparator + row.subItem(ShortcutEntry::Parameters) + kShortcutSeparator
           + row.subItem(ShortcutEntry::ShortcutFolder) + kShortcutSeparator
           + row.subItem(ShortcutEntry::Description) + kShortcutSeparator + row.subItem(ShortcutEntry::Name)
           + QLatin1Char('}') + kQuote;
}

// The inverse of ShortcutLine; nothing for a line ShortcutLine would not write.
std::optional<ShortcutEntry> ReadShortcutLine(const QString& line)
{
    const QString head = kShortcutKey + kQuote;
    if (!line.startsWith(head) || !line.endsWith(QLatin1Char('}') + kQuote) || line.size() < head.size() + 2)
        return std::nullopt;
    const QStringList parts = line.mid(head.size() + 1, line.size() - head.size() - 3).split(kShortcutSeparator);
    const qsizetype location = std::find(std::begin(kLocationLetters), std::end(kLocationLetters),
                                         line.mid(head.size(), 1)) - std::begin(kLocationLetters);
    if (parts.size() != 5 || location >= 4 || !parts[0].startsWith(QStringLiteral("u,{")))
        return std::nullopt;
    QString target = parts[0].mid(3);
    int folder = 0;
    for (int code = 1; code <= 6 && folder == 0; ++code) {
        if (target.startsWith(kFolderPrefixes[code]))
            folder = code;
    }
    target = target.mid(kFolderPrefixes[folder].size()).replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    const ShortcutEntry entry = MakeShortcutEntry(QString::fromUtf8(kShortcutLocations[location]), int(location),
                                                  folder, target, parts[1], parts[2], parts[3], parts[4]);
    if (ShortcutLine(entry) != line)
        return std::nullopt;
    return entry;
}

// A value of the configuration: `"text"` after its key.
QString Unquoted(const QString& line, const QString& key)
{
    const QString value = line.mid(key.size());
    return value.size() >= 2 && value.startsWith(kQuote) && value.endsWith(kQuote) ? value.mid(1, value.size() - 2)
                                                                                    : QString();
}

// `out` is unbuffered, so a write the disk refuses fails at once and leaves its reason in errno.
void Write(QFile& out, const char* data, qint64 size)
{
    if (out.write(data, size) != size)
        throw UnableToWriteTo(out.fileName(), errno);
}

void AppendFile(QFile& out, const QString& sourcePath)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        throw CannotOpenFile(sourcePath, source.errorString());
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (qint64 n; (n = source.read(buffer.data(), buffer.size())) != 0;) {
        if (n < 0)
            throw CannotOpenFile(sourcePath, source.errorString());
        Write(out, buffer.constData(), n);
    }
}

// The handlers the packing binds to the writer capture its local state: they go when the packing ends.
class HandlerScope {
public:
    explicit HandlerScope(TSevenZip& writer) : writer_(writer) {}
    ~HandlerScope()
    {
        writer_.OnPreProgress = nullptr;
        writer_.OnProgress = nullptr;
        writer_.OnSetAddName = nullptr;
        writer_.OnWaiting = nullptr;
        writer_.OnGathered = nullptr;
    }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    TSevenZip& writer_;
};

}  // namespace

QString SelfExtractorArchivePath(const QString& scratchDir)
{
    return scratchDir + QStringLiteral("files.7z");
}

QString SelfExtractorPath(const QString& scratchDir, const QString& outName)
{
    return scratchDir + outName + QStringLiteral(".exe");
}

QByteArray SfxConfig(const BuildInputs& in)
{
    const QString separator = QStringLiteral("\n\r");
    QString block = kConfigBegin + separator + kRunProgramKey + kQuote +
                    StartCommand(in, RunnerNaming::RunWord) + kQuote;
    if (LowerExtension(in.startFile) == QLatin1String(".exe"))
        block += separator + kGuiModeKey + QStringLiteral("\"2\"");
    if (in.overwriteMode > 0)
        block += separator + kOverwriteKey + kQuote + QString::number(in.overwriteMode) + kQuote;
    for (const ShortcutEntry& row : in.shortcuts)
        block += separator + ShortcutLine(row);
    block += separator + kConfigEnd;
    return block.toUtf8();
}

std::optional<SelfExtractorParts> SplitSelfExtractor(const QByteArray& exe)
{
    // The module names both markers among its own strings, each ended by a zero: the block's begin marker is
    // the one a line break follows.
    const QByteArray begin = kConfigBegin.toUtf8();
    qsizetype at = -1;
    do
        at = exe.indexOf(begin, at + 1);
    while (at >= 0 && exe.mid(at + begin.size(), 1) != "\n" && exe.mid(at + begin.size(), 1) != "\r");
    const qsizetype end = at < 0 ? -1 : exe.indexOf(kConfigEnd.toUtf8(), at);
    if (end < 0)
        return std::nullopt;
    SelfExtractorParts parts;
    parts.archiveOffset = exe.indexOf(QByteArray("7z\xBC\xAF\x27\x1C", 6), end);
    const QString block = QString::fromUtf8(exe.mid(at + begin.size(), end - at - begin.size()));
    for (const QString& line : SplitLines(block)) {
        if (line.isEmpty() || line.startsWith(kGuiModeKey))  // the start file's kind decides the mode
            continue;
        if (line.startsWith(kRunProgramKey)) {
            parts.runProgram = Unquoted(line, kRunProgramKey);
        } else if (const int mode = ParsedCode(Unquoted(line, kOverwriteKey));
                   line.startsWith(kOverwriteKey) && mode >= 1 && mode <= 2) {
            parts.overwriteMode = mode;
        } else if (const std::optional<ShortcutEntry> entry = ReadShortcutLine(line)) {
            parts.shortcuts.append(*entry);
        } else {
            parts.unreadLines.append(line);
        }
    }
    return parts;
}

PackStep::PackStep(const QStringList& libraryPlaces) : SevenZip1(libraryPlaces)
{
    SevenZip1.SFXModule = kSfxModule;
    SevenZip1.AddOptions = {AddRecurseDirs};
}

bool PackStep::PackFolder(const BuildInputs& in, const QString& target, const PackEvents& events,
                          PackPurpose purpose)
{
    SevenZip1.FileList.Clear();
    QString runner;
    if (const Runner* kind = RunnerOf(in.startFile); kind && purpose == PackPurpose::SelfExtractorArchive) {
        runner = RequireAppFile(in.appDir, kind->program);
        SevenZip1.FileList.Append(runner);
    }
    const QString folder = in.sourceDir + QLatin1Char('/');
    SevenZip1.FileList.Append(folder + QStringLiteral("*.*"));
    if (in.compressionLevel >= SAVE && in.compressionLevel <= ULTRA)
        SevenZip1.LZMACompressStrength = TCompressStrength(in.compressionLevel);
    SevenZip1.AddRootDir = in.sourceDir;
    SevenZip1.SZFileName = target;

    HandlerScope scope(SevenZip1);
    SevenZip1.OnPreProgress = [&](TSevenZip*, qint64 total) {
        if (events.preProgress)
            events.preProgress(total);
    };
    SevenZip1.OnProgress = [&](TSevenZip*, const QString& name, qint64 arc, qint64 file) {
        if (events.progress)
            events.progress(name, arc, file);
    };
    // The runner lies outside the program folder; the installer's run command finds it only beside the
    // start file, at the top of the archive.
    if (!runner.isEmpty())
        SevenZip1.OnSetAddName = [&](TSevenZip*, std::uint32_t, QString& name) {
            if (name == runner)
                name = FileNamePart(runner);
        };
    // The names are checked on the items the writer gathered, before it creates the archive: the folder
    // is walked once.
    FolderNameCheck names;
    if (!runner.isEmpty())
        names.AddRunner(FileNamePart(runner));
    SevenZip1.OnGathered = [&](TSevenZip*, const std::vector<GatheredItem>& items) {
        for (const GatheredItem& item : items) {
            if (item.name.startsWith(folder))
                names.Check(item.name.mid(folder.size()), item.info);
        }
    };
    bool cancelled = false;
    SevenZip1.OnWaiting = [&](TSevenZip* sender) {
        if (events.waiting)
            events.waiting();
        if (events.cancelRequested && events.cancelRequested()) {
            cancelled = true;
            sender->CancelRequested = true;
        }
    };

    SevenZip1.LastError = 0;
    qint32 result = -1;
    try {
        result = SevenZip1.Add();
    } catch (const SilentAbort&) {
        // The writer gives up in silence on an archive file it cannot create; the build must not: its
        // error code says why, as for any other write that failed.
        if (cancelled || SevenZip1.LastError == 0)
            throw;
    }
    if (cancelled) {
        QFile::remove(target);
        throw SilentAbort();
    }
    if (result == 0 && SevenZip1.LastError == 0)
        return true;
    QFile::remove(target);
    return false;
}

void PackStep::BuildSelfExtractor(const BuildInputs& in, const QString& outName, const QString& scratchDir)
{
    const QString module = RequireAppFile(in.appDir, kSfxModule);
    const QString exe = SelfExtractorPath(scratchDir, outName);
    QFile out(exe);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw CannotCreateFile(exe, errno);
    AppendFile(out, module);
    const QByteArray config = SfxConfig(in);
    Write(out, config.constData(), config.size());
    AppendFile(out, SelfExtractorArchivePath(scratchDir));
    out.close();
    StampBuildFile(exe);
}

}  // namespace pw
