#include "tryout/AddonFiles.h"

#include "platform/CodePage.h"
#include "platform/TextLines.h"
#include "tryout/ChildRun.h"
#include "tryout/HostTools.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>

namespace pw {
namespace {

// A cabinet holds at most 2 GB; 7-Zip reads that in well under this on any machine.
constexpr qint64 kUnpackLimitMs = 30 * 60 * 1000;

}  // namespace

QString UnpackCabinet(const TryTools& tools, const QString& cabinet, const QString& folder, TryUi& ui,
                      const TryTexts& texts)
{
    // -tcab: anything but a cabinet is refused, not opened as whatever archive it happens to be.
    const ChildRun run =
        RunCommand({tools.sevenZip,
                    {QStringLiteral("x"), QStringLiteral("-tcab"), QStringLiteral("-y"), QStringLiteral("-bd"),
                     QStringLiteral("-o") + folder, QStringLiteral("--"), cabinet}},
                   kUnpackLimitMs, &ui);
    if (run.end == RunEnd::Finished && run.exitCode == 0)
        return {};
    const QString detail = run.error.isEmpty() ? run.output.trimmed() : run.error;
    return texts.NotCabinetStr.arg(cabinet, detail);
}

AddonEntries ReadEntries(const QString& folder, const TryTexts& texts)
{
    AddonEntries entries;
    const QStringList names = QDir(folder).entryList({QStringLiteral("ENTRIES_*.ini")}, QDir::Files | QDir::Hidden,
                                                     QDir::Name | QDir::IgnoreCase);
    if (names.isEmpty()) {
        entries.error = texts.NoEntriesStr;
        return entries;
    }
    entries.file = names.front();
    QFile file(folder + QLatin1Char('/') + entries.file);
    if (!file.open(QIODevice::ReadOnly)) {
        entries.error = texts.NoAddProgramStr.arg(entries.file);
        return entries;
    }
    bool inSection = false;
    for (const QString& line : SplitLines(AnsiToUnicode(file.readAll()))) {
        const QString text = line.trimmed();
        if (text.startsWith(QLatin1Char('[')))
            inSection = text.compare(QLatin1String("[AddProgram]"), Qt::CaseInsensitive) == 0;
        else if (inSection && !text.isEmpty() && !text.startsWith(QLatin1Char(';')))
            entries.lines << text;
    }
    if (entries.lines.isEmpty())
        entries.error = texts.NoAddProgramStr.arg(entries.file);
    return entries;
}

bool LayOut(const QString& folder, const QString& entriesFile, const QString& target)
{
    if (!QDir().mkpath(target))
        return false;
    bool moved = true;
    const QDir source(folder);
    for (const QString& name :
         source.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (name == entriesFile)
            continue;
        // A folder an earlier add-on laid out (svcpack, most often) takes this one's files beside its own.
        const QString from = source.filePath(name), to = target + QLatin1Char('/') + name;
        if (QFileInfo(from).isDir() && !QFileInfo(from).isSymLink() && QFileInfo(to).isDir()) {
            moved = LayOut(from, QString(), to) && moved;
            continue;
        }
        // A file of the same name an earlier add-on laid out (two add-ons with the same runner, most often)
        // is replaced, as the later add-on's copy into the installation source replaces it.
        if (const QFileInfo existing(to); existing.isFile() || existing.isSymLink())
            QFile::remove(to);
        moved = QDir().rename(from, to) && moved;
    }
    return moved;
}

}  // namespace pw
