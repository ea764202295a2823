#include "pipeline/PackStep.h"

#include "archive/sevenzip/ItemGathering.h"
#include "pipeline/AddOnNames.h"
#include "pipeline/AppFiles.h"
#include "pipeline/StartCommand.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/SourceDateEpoch.h"
#include "project/StartFileKinds.h"

#include <QFile>

#include <cerrno>

namespace pw {
namespace {

const QString kQuote = QStringLiteral("\"");

int ParsedCode(const QString& text)
{
    bool ok = false;
    const int code = text.toInt(&ok, 10);
    return ok ? code : -1;
}

QString ShortcutLine(const ShortcutEntry& row)
{
    static const QString locations[] = {QStringLiteral("D"), QStringLiteral("S"), QStringLiteral("P"),
                                        QStringLiteral("T")};
    static const QString folders[] = {QString(),
                                      QStringLiteral("%ProgramFiles%\\\\"),
                                      QStringLiteral("\"%CommonDocuments%\\\\"),
                                      QStringLiteral("\"%MyDocuments%\\\\"),
                                      QStringLiteral("\"%UserDesktop%\\\\"),
                                      QStringLiteral("\"%%S\\\\"),
                                      QStringLiteral("\"%%T\\\\")};
    const int location = ParsedCode(row.subItem(ShortcutEntry::LocationCode));
    const int folder = ParsedCode(row.subItem(ShortcutEntry::FolderCode));
    QString target = row.subItem(ShortcutEntry::Target);
    target.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    const QString separator = QStringLiteral("},{");
    return QStringLiteral("Shortcut=") + kQuote + (location >= 0 && location <= 3 ? locations[location] : QString())
           + QStringLiteral("u,{") + (folder >= 1 && folder <= 6 ? folders[folder] : QString()) + target + separator
           + row.subItem(ShortcutEntry::Parameters) + separator + row.subItem(ShortcutEntry::ShortcutFolder)
           + separator + row.subItem(ShortcutEntry::Description) + separator + row.subItem(ShortcutEntry::Name)
           + QLatin1Char('}') + kQuote;
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
    QString block = QStringLiteral(";!@Install@!UTF-8!") + separator + QStringLiteral("RunProgram=") + kQuote +
                    StartCommand(in, RunnerNaming::RunWord) + kQuote;
    if (LowerExtension(in.startFile) == QLatin1String(".exe"))
        block += separator + QStringLiteral("GUIMode=\"2\"");
    if (in.overwriteMode > 0)
        block += separator + QStringLiteral("OverwriteMode=\"%1\"").arg(in.overwriteMode);
    for (const ShortcutEntry& row : in.shortcuts)
        block += separator + ShortcutLine(row);
    block += separator + QStringLiteral(";!@InstallEnd@!");
    return block.toUtf8();
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
