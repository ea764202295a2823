#include "pipeline/PackStep.h"

#include "pipeline/FileHelpers.h"
#include "pipeline/Runners.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <QFile>
#include <QFileInfo>

namespace pw {
namespace {

const QString kQuote = QStringLiteral("\"");

QString RunnerArguments(const QString& extension)
{
    if (extension == QLatin1String(".msi"))
        return QStringLiteral(" /qb-!");
    if (extension == QLatin1String(".cmd") || extension == QLatin1String(".bat"))
        return QStringLiteral(" hidcon");
    return {};
}

QString RunCommand(const BuildInputs& in)
{
    const QString extension = LowerExtension(in.startFile);
    // A ".com" start file is a program too: it runs as an ".exe" does, as the entries file runs it.
    if (extension == QLatin1String(".exe") || extension == QLatin1String(".com")) {
        const QString arguments = in.silentSwitch.isEmpty() ? QString() : QLatin1Char(' ') + in.silentSwitch;
        return kQuote + in.startFile + arguments + kQuote;
    }
    const QString runner = RunnerProgram(in.startFile);
    if (runner.isEmpty())
        return {};
    return kQuote + BareFileName(runner) + QLatin1Char(' ') + in.startFile + RunnerArguments(extension) + kQuote;
}

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

void AppendFile(QFile& out, const QString& sourcePath)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        throw CannotOpenFile(sourcePath, source.errorString());
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (qint64 n; (n = source.read(buffer.data(), buffer.size())) != 0;) {
        if (n < 0)
            throw CannotOpenFile(sourcePath, source.errorString());
        if (out.write(buffer.constData(), n) != n)
            throw UserError(QStringLiteral("Unable to write to %1").arg(out.fileName()));
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
    }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    TSevenZip& writer_;
};

}  // namespace

QByteArray SfxConfig(const BuildInputs& in)
{
    const QString separator = QStringLiteral("\n\r");
    QString block = QStringLiteral(";!@Install@!UTF-8!") + separator + QStringLiteral("RunProgram=") + RunCommand(in);
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
    SevenZip1.SFXModule = QStringLiteral("7zS.sfx");
    SevenZip1.AddOptions = {AddRecurseDirs};
}

void PackStep::PackFolder(const BuildInputs& in, const QString& target, const PackEvents& events)
{
    SevenZip1.FileList.Clear();
    QString runnerCopy;
    if (LowerExtension(in.startFile) == QLatin1String(".inf")) {
        const QString runner = RunnerProgram(in.startFile);
        runnerCopy = in.tempDir() + runner;
        CopyFileData(in.appDir + runner, runnerCopy);
        SevenZip1.FileList.Append(runnerCopy);
    }
    SevenZip1.FileList.Append(in.sourceDir + QStringLiteral("/*.*"));
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
    if (!runnerCopy.isEmpty())
        SevenZip1.OnSetAddName = [&](TSevenZip*, std::uint32_t, QString& name) {
            if (name == runnerCopy)
                name = FileNamePart(runnerCopy);
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
    const qint32 result = SevenZip1.Add();
    if (cancelled) {
        QFile::remove(target);
        throw SilentAbort();
    }
    if (result != 0 || SevenZip1.LastError != 0)
        QFile::remove(target);
}

bool PackStep::BuildSelfExtractor(const BuildInputs& in, const QString& outName)
{
    const QString exe = in.tempDir() + outName + QStringLiteral(".exe");
    CopyFileData(in.appDir + QStringLiteral("7zS.sfx"), exe);
    if (!QFileInfo::exists(exe))
        return false;
    QFile out(exe);
    if (!out.open(QIODevice::ReadWrite | QIODevice::Append))
        throw CannotOpenFile(exe, out.errorString());
    const QByteArray config = SfxConfig(in);
    if (out.write(config) != config.size())
        throw UserError(QStringLiteral("Unable to write to %1").arg(exe));
    AppendFile(out, in.tempDir() + QStringLiteral("files.7z"));
    if (!out.flush())
        throw UserError(QStringLiteral("Unable to write to %1").arg(exe));
    return true;
}

}  // namespace pw
