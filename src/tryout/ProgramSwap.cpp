#include "tryout/ProgramSwap.h"

#include "tryout/ChildRun.h"
#include "tryout/CommandFile.h"
#include "tryout/HostTools.h"
#include "tryout/TryFolder.h"
#include "tryout/SelfExtractor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace pw {
namespace {

constexpr qint64 kSevenZipLimitMs = 30 * 60 * 1000;
const QString kModule = QStringLiteral("7zS.sfx");

bool SameBytes(const QString& a, const QString& b)
{
    return QFileInfo(a).size() == QFileInfo(b).size() && ReadWholeFile(a) == ReadWholeFile(b);
}

// The x86-64 build of `file` when `file` is this program's i686 build of it; empty otherwise.
QString X86_64Twin(const QString& file, const QString& appDir)
{
    const QString name = QFileInfo(file).fileName();
    const QString twin = FindNoCase(appDir + QStringLiteral("/x86_64"), name);
    const QString shipped = FindNoCase(appDir, name);
    return !twin.isEmpty() && !shipped.isEmpty() && SameBytes(file, shipped) ? twin : QString();
}

bool ReplaceWith(const QString& target, const QString& source)
{
    return QFile::remove(target) && QFile::copy(source, target);
}

// A self-extractor's archive, opened with 7-Zip.
class Archive {
public:
    Archive(const QString& path, const QString& work, const TryTools& tools, TryUi& ui)
        : path_(path), work_(work), tools_(tools), ui_(ui)
    {
    }

    // Its files (not folders), "/" between the parts of a name.
    bool List()
    {
        const ChildRun run = SevenZip({QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("--"), path_});
        if (run.end != RunEnd::Finished || run.exitCode != 0)
            return false;
        const QString output = run.output;
        const qsizetype items = output.indexOf(QStringLiteral("\n----------"));
        static const QRegularExpression blankLine(QStringLiteral("\\r?\\n\\s*\\r?\\n"));
        for (const QString& record : output.mid(items < 0 ? output.size() : items).split(blankLine)) {
            static const QRegularExpression path(QStringLiteral("^Path = (.*)$"), QRegularExpression::MultilineOption);
            static const QRegularExpression folder(QStringLiteral("^Attributes = D"),
                                                   QRegularExpression::MultilineOption);
            const QRegularExpressionMatch match = path.match(record);
            if (match.hasMatch() && !folder.match(record).hasMatch())
                files_ << match.captured(1).trimmed();
        }
        return true;
    }

    // The archived name of `name`, its case and separators as Windows would take them; empty if absent.
    QString Find(const QString& name) const
    {
        QString wanted = name;
        wanted.replace(QLatin1Char('\\'), QLatin1Char('/'));
        for (const QString& file : files_) {
            if (file.compare(wanted, Qt::CaseInsensitive) == 0)
                return file;
        }
        return {};
    }

    // Extracts `name` into a folder of its own; returns the extracted file, or empty.
    QString Extract(const QString& name)
    {
        const QString folder = work_ + QStringLiteral("/extracted-%1").arg(++extractions_);
        const ChildRun run = SevenZip({QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-spd"),
                                       QStringLiteral("-o") + folder, QStringLiteral("--"), path_, name});
        const QString file = folder + QLatin1Char('/') + name;
        return run.end == RunEnd::Finished && run.exitCode == 0 && QFileInfo(file).isFile() ? file : QString();
    }

    // Puts `source` into the archive as `name`, in place of the file there.
    bool Update(const QString& name, const QString& source)
    {
        const QString folder = work_ + QStringLiteral("/update-%1").arg(++extractions_);
        if (!QDir().mkpath(folder) || !QFile::copy(source, folder + QLatin1Char('/') + name))
            return false;
        Command command{tools_.sevenZip,
                        {QStringLiteral("a"), QStringLiteral("-t7z"), QStringLiteral("-ms=off"), QStringLiteral("-spd"),
                         QStringLiteral("--"), path_, name}};
        command.folder = folder;
        const ChildRun run = RunCommand(command, kSevenZipLimitMs, &ui_);
        return run.end == RunEnd::Finished && run.exitCode == 0;
    }

private:
    ChildRun SevenZip(const QStringList& arguments)
    {
        return RunCommand({tools_.sevenZip, arguments}, kSevenZipLimitMs, &ui_);
    }

    QString path_, work_;
    const TryTools& tools_;
    TryUi& ui_;
    QStringList files_;
    int extractions_ = 0;
};

class Swap {
public:
    Swap(const QString& folder, const QString& appDir, const QString& work, const TryTools& tools, TryUi& ui,
         bool exchange)
        : folder_(folder), appDir_(appDir), work_(work), tools_(tools), ui_(ui), exchange_(exchange)
    {
    }

    void Line(const QString& line)
    {
        const CommandFile lead =
            LeadingFile(line, [&](const QString& name) { return !FindNoCase(folder_, name).isEmpty(); });
        if (!lead.known)
            return;  // it starts a program of the system, or one that is not there: Wine says which
        const QString file = FindNoCase(folder_, lead.file);
        if (const QString twin = X86_64Twin(file, appDir_); !twin.isEmpty()) {
            if (exchange_ && !ReplaceWith(file, twin)) {
                result.error = file;
                return;
            }
            if (exchange_)
                result.replaced << QFileInfo(file).fileName();
            const CommandFile start =
                LeadingFile(lead.rest, [&](const QString& name) { return !FindNoCase(folder_, name).isEmpty(); });
            if (start.known)
                Check(FindNoCase(folder_, start.file), start.file);
        } else if (!SelfExtractor(file)) {
            Check(file, lead.file);
        }
    }

    ProgramSwap result;

private:
    void Check(const QString& file, const QString& named)
    {
        const quint16 machine = PeMachine(file);
        if (result.needs32Bit.isEmpty() && machine == kMachineI386)
            result.needs32Bit = named;
        if (result.is64Bit.isEmpty() && machine == kMachineAmd64)
            result.is64Bit = named;
    }

    // Exchanges the module of one of our self-extractors and the runner at the top of its archive.
    // Returns false when `file` is not one.
    bool SelfExtractor(const QString& file)
    {
        const QByteArray module = ReadWholeFile(FindNoCase(appDir_, kModule));
        const QByteArray module64 = ReadWholeFile(FindNoCase(appDir_ + QStringLiteral("/x86_64"), kModule));
        const std::optional<SelfExtractorParts> parts = ReadSelfExtractor(file, module);
        if (!parts || module64.isEmpty())
            return false;
        const QString work = work_ + QStringLiteral("/sfx-%1").arg(++count_);
        const QString archivePath = work + QStringLiteral("/archive.7z");
        Archive archive(archivePath, work, tools_, ui_);
        if (!QDir().mkpath(work) || !CopyTail(file, parts->archiveOffset, archivePath) || !archive.List()) {
            result.error = file;
            return true;
        }
        QString command = RunProgram(parts->block);
        const CommandFile runner =
            LeadingFile(command, [&](const QString& word) { return !ArchivedProgram(archive, word).isEmpty(); });
        QStringList replaced = {QStringLiteral("%1 (%2)").arg(QFileInfo(file).fileName(), kModule)};
        if (runner.known) {
            const QString name = ArchivedProgram(archive, runner.file);
            const QString extracted = archive.Extract(name);
            const QString twin = extracted.isEmpty() ? QString() : X86_64Twin(extracted, appDir_);
            if (twin.isEmpty()) {
                Check(extracted, name);  // a runner of the user's own
            } else if (!exchange_ || archive.Update(name, twin)) {
                replaced << QStringLiteral("%1 (%2)").arg(name, QFileInfo(file).fileName());
            } else {
                result.error = file;
                return true;
            }
            command = runner.rest;
        }
        const CommandFile start =
            LeadingFile(command, [&](const QString& name) { return !archive.Find(name).isEmpty(); });
        if (start.known) {
            const QString extracted = archive.Extract(archive.Find(start.file));
            if (!extracted.isEmpty())
                Check(extracted, start.file);
        }
        if (!exchange_)
            return true;
        if (!JoinSelfExtractor(file, module64, parts->block, archivePath)) {
            result.error = file;
            return true;
        }
        result.replaced << replaced;
        return true;
    }

    // The archived name of the program that the self-extractor's first word names: "msistub" stands for
    // "msistub.exe" at the top of the archive, as the module reads it.
    QString ArchivedProgram(const Archive& archive, const QString& word) const
    {
        if (word.contains(QLatin1Char('\\')) || word.contains(QLatin1Char('/')) || word.contains(QLatin1Char(' ')))
            return {};
        for (const QString& name : {word, word + QStringLiteral(".exe")}) {
            if (!FindNoCase(appDir_ + QStringLiteral("/x86_64"), name).isEmpty() && !archive.Find(name).isEmpty())
                return archive.Find(name);
        }
        return {};
    }

    QString folder_, appDir_, work_;
    const TryTools& tools_;
    TryUi& ui_;
    bool exchange_;
    int count_ = 0;
};

}  // namespace

QString FindNoCase(const QString& folder, const QString& name)
{
    const QStringList parts =
        QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path = folder;
    for (const QString& part : parts) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return {};
        const QStringList entries =
            QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        // The exact spelling wins over another that differs only in case, which Linux can hold beside it.
        QString found = entries.contains(part) ? part : QString();
        for (qsizetype i = 0; found.isEmpty() && i < entries.size(); ++i) {
            if (entries[i].compare(part, Qt::CaseInsensitive) == 0)
                found = entries[i];
        }
        if (found.isEmpty())
            return {};
        path += QLatin1Char('/') + found;
    }
    return parts.isEmpty() ? QString() : path;
}

ProgramSwap UseX86_64Programs(const QString& folder, const QStringList& lines, const QString& appDir,
                              const QString& work, const TryTools& tools, TryUi& ui, bool exchange)
{
    Swap swap(folder, appDir, work, tools, ui, exchange);
    for (const QString& line : lines)
        swap.Line(line);
    return swap.result;
}

}  // namespace pw
