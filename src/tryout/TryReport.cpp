#include "tryout/TryReport.h"

#include "tryout/WindowsErrors.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace pw {
namespace {

const QString kSummaryFile = QStringLiteral("summary.txt");
const QString kAddonLogFile = QStringLiteral("addon-log.txt");
// Windows setup takes these for success: the program installed and wants the machine restarted.
constexpr qint64 kRestartRequired = 3010, kRestartStarted = 1641;

QString Seconds(double seconds)
{
    return QString::number(seconds, 'f', 1);
}

void Section(QStringList& lines, const QString& heading, const QStringList& items, const QString& nothing)
{
    lines << QString() << heading;
    for (const QString& item : items.isEmpty() ? QStringList{nothing} : items)
        lines << QStringLiteral("  ") + item;
}

}  // namespace

QString WindowsName(WindowsTarget target)
{
    switch (target) {
    case WindowsTarget::Xp64:
        return QStringLiteral("Windows XP x64");
    case WindowsTarget::Server2003:
        return QStringLiteral("Windows Server 2003");
    case WindowsTarget::Xp:
        break;
    }
    return QStringLiteral("Windows XP");
}

QString VerdictText(const TryResult& result, const QString& windowTitle, const TryOptions& options)
{
    const TryTexts& texts = options.texts;
    if (result.waitedOnWindow)
        return texts.WindowWaitStr.arg(windowTitle.isEmpty() ? texts.NoTitleStr : windowTitle,
                                       QString::number(options.windowLimitSeconds));
    if (!result.inputWaiter.isEmpty())
        return texts.InputWaitStr.arg(result.inputWaiter);
    if (result.timedOut)
        return texts.TimedOutStr.arg(options.timeLimitSeconds);
    if (result.startError)
        return texts.NotStartedStr.arg(StartErrorText(result.startError, result.startErrorText));
    QStringList codes;
    for (qint64 code : result.exitCodes)
        codes << ExitCodeText(code);
    return (InstalledSilently(result) ? texts.SilentStr : texts.ExitCodeStr)
        .arg(codes.join(QStringLiteral(", ")), Seconds(result.seconds));
}

bool InstalledSilently(const TryResult& result)
{
    if (result.waitedOnWindow || !result.inputWaiter.isEmpty() || result.timedOut || result.cancelled
        || result.startError
        || result.exitCodes.size() != result.lines.size() || result.lines.isEmpty())
        return false;
    return std::all_of(result.exitCodes.begin(), result.exitCodes.end(),
                       [](qint64 code) { return code == 0 || code == kRestartRequired || code == kRestartStarted; });
}

QString SummaryText(const TryResult& result, const QString& verdict, const TryOptions& options)
{
    const TryTexts& texts = options.texts;
    QStringList lines = {texts.TitleStr.arg(QFileInfo(options.addon).fileName())};
    if (!result.ran || result.cancelled) {
        lines << result.reason;
        return lines.join(QLatin1Char('\n'));
    }
    for (const QString& line : result.lines)
        lines << texts.LineStr.arg(line);
    lines << texts.ImitatedStr.arg(WindowsName(result.imitated), QLatin1String(FactsOf(result.imitated).wineName));
    if (!result.replacedPrograms.isEmpty())
        lines << texts.Wine64Str.arg(result.replacedPrograms.join(QStringLiteral(", ")));
    lines << texts.ResultStr.arg(verdict);
    if (result.installedNothing)
        lines << texts.NothingInstalledStr;

    QStringList windows;
    for (const SeenWindow& window : result.windows) {
        const QString title = window.titles.isEmpty()
                                  ? texts.NoTitleStr
                                  : QLatin1Char('"') + window.titles.join(QStringLiteral("\", \"")) + QLatin1Char('"');
        windows << texts.WindowLineStr.arg(title, Seconds(window.visibleSeconds));
    }
    for (const QString& screenshot : result.screenshots)
        windows << texts.ScreenshotStr.arg(QDir(result.reportFolder).filePath(screenshot));
    Section(lines, texts.WindowsStr, windows, texts.NothingStr);
    Section(lines, texts.LeftStr, result.processesLeft, texts.NothingStr);
    Section(lines, texts.FilesStr, result.filesAdded, texts.NothingStr);
    Section(lines, texts.RegistryStr, result.registryAdded, texts.NothingStr);
    Section(lines, texts.ShortcutsStr, result.shortcuts, texts.NothingStr);
    Section(lines, texts.TempStr, result.tempLeft, texts.NothingStr);
    if (!result.reportFolder.isEmpty()) {
        lines << QString();
        if (QFileInfo::exists(QDir(result.reportFolder).filePath(kAddonLogFile)))
            lines << texts.AddonLogStr.arg(QDir(result.reportFolder).filePath(kAddonLogFile));
        lines << texts.ReportStr.arg(result.reportFolder);
    }
    return lines.join(QLatin1Char('\n'));
}

QString TableText(const QStringList& tried, const QList<TryResult>& results, const TryTexts& texts)
{
    constexpr double kDiscMb = 700, kMb = 1024 * 1024;
    QList<QStringList> rows = {texts.TableHeadStr.split(QLatin1Char('|'))};
    qint64 total = 0;
    for (qsizetype i = 0; i < tried.size(); ++i) {
        const qint64 size = QFileInfo(tried[i]).size();
        total += size;
        const QString name = QFileInfo(tried[i]).fileName(), kb = QString::number((size + 1023) / 1024) + QStringLiteral(" KB");
        if (i >= results.size()) {
            rows << QStringList{name, texts.TableNotTriedStr, QString(), QString(), QString(), kb};
            continue;
        }
        const TryResult& result = results[i];
        const bool silent = result.verdict == TryVerdict::InstalledSilently;
        rows << QStringList{name, silent ? texts.TableSilentStr : texts.TableFailedStr, Seconds(result.seconds) + QStringLiteral(" s"),
                            QString::number(result.filesAdded.size()), QString::number(result.registryAdded.size()),
                            kb};
    }
    QList<qsizetype> widths(rows.constFirst().size(), 0);
    for (const QStringList& row : rows) {
        for (qsizetype column = 0; column < row.size() && column < widths.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    }
    QStringList lines;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (qsizetype column = 0; column < row.size() && column < widths.size(); ++column)
            cells << row[column].leftJustified(widths[column]);
        lines << cells.join(QStringLiteral("  ")).trimmed();
    }
    lines << texts.TableTotalStr.arg(QString::number(total / kMb, 'f', 1),
                                     QString::number(100 * total / kMb / kDiscMb, 'f', 1));
    return lines.join(QLatin1Char('\n'));
}

bool WriteReportFiles(TryResult& result, const QString& parent, const QString& addon, const QList<QImage>& screenshots,
                      const QString& addonLog, QString* error)
{
    const QString stem = QFileInfo(addon).completeBaseName() + QStringLiteral("-try-")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir folder(parent.isEmpty() ? QDir::currentPath() : parent);
    if (!folder.mkpath(QStringLiteral("."))) {
        *error = folder.path();
        return false;
    }
    // Two tries of one add-on within a second get folders of their own.
    QString name = stem;
    for (int n = 2; !folder.mkdir(name); ++n) {
        if (!folder.exists(name)) {
            *error = folder.filePath(name);
            return false;
        }
        name = stem + QStringLiteral("-%1").arg(n);
    }
    result.reportFolder = folder.absoluteFilePath(name);
    const QDir report(result.reportFolder);
    for (qsizetype i = 0; i < screenshots.size(); ++i) {
        const QString file = QStringLiteral("window-%1.png").arg(i + 1);
        if (!screenshots[i].save(report.filePath(file), "PNG")) {
            *error = report.filePath(file);
            return false;
        }
        result.screenshots << file;
    }
    if (QFileInfo::exists(addonLog) && !QFile::copy(addonLog, report.filePath(kAddonLogFile))) {
        *error = report.filePath(kAddonLogFile);
        return false;
    }
    return true;
}

bool WriteSummary(const TryResult& result, QString* error)
{
    QSaveFile file(QDir(result.reportFolder).filePath(kSummaryFile));
    const QByteArray text = result.summary.toUtf8() + '\n';
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    *error = file.fileName() + QStringLiteral(": ") + file.errorString();
    return false;
}

}  // namespace pw
