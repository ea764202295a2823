#include "cli/TextWrap.h"

#include <QRegularExpression>
#include <QStringList>

namespace pw {

QString Wrapped(const QString& lead, const QString& text, qsizetype width)
{
    static const QRegularExpression word(QStringLiteral("\\[[^\\]\\n]*\\]|\\S+"));
    const qsizetype room = width - lead.size();
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QRegularExpressionMatch& m : word.globalMatch(paragraph)) {
            if (!line.isEmpty() && line.size() + 1 + m.capturedLength() > room) {
                lines.append(line);
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + m.captured();
        }
        lines.append(line);
    }
    return lead + lines.join(QLatin1Char('\n') + QString(lead.size(), QLatin1Char(' '))) + QLatin1Char('\n');
}

}  // namespace pw
