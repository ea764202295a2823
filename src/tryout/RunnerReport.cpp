#include "tryout/RunnerReport.h"

#include <QHash>
#include <QRegularExpression>

namespace pw {

RunnerReport ReadRunnerReport(const QByteArray& text, const TryTexts& texts)
{
    static const QRegularExpression line(QStringLiteral("^tryrun: (exit|error|input|process)=(\\d+)(?: (.*?))?\\r?$"));
    static const QRegularExpression process(QStringLiteral("^(\\d+) ([^/]*)/(.*)$"));
    RunnerReport report;
    QHash<qint64, QString> names;
    const QString whole = QString::fromUtf8(text.left(text.lastIndexOf('\n') + 1));
    for (const QString& row : whole.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (row.startsWith(QLatin1String("tryrun: processes"))) {
            report.processes.clear();
            continue;
        }
        const QRegularExpressionMatch match = line.match(row);
        if (!match.hasMatch())
            continue;
        const QString kind = match.captured(1);
        const qint64 number = match.captured(2).toLongLong();
        if (kind == QLatin1String("exit")) {
            report.exitCodes << number;
        } else if (kind == QLatin1String("error") && !report.startError) {
            report.startError = number;
            report.startErrorText = match.captured(3);
        } else if (kind == QLatin1String("input")) {
            report.inputWaiter = QStringLiteral("%1 (%2)").arg(names.value(number), QString::number(number));
        } else if (const QRegularExpressionMatch parts = process.match(match.captured(3)); parts.hasMatch()) {
            names.insert(number, parts.captured(2));
            const QString parent = parts.captured(1);
            report.processes << (parts.captured(3).isEmpty()
                                     ? texts.ProcessOrphanStr.arg(parts.captured(2), match.captured(2), parent)
                                     : texts.ProcessStr.arg(parts.captured(2), match.captured(2), parts.captured(3),
                                                            parent));
        }
    }
    return report;
}

}  // namespace pw
