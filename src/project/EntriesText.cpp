#include "project/EntriesText.h"

#include "platform/TextLines.h"

#include <utility>

namespace pw {

QStringList DefaultEntriesLines()
{
    return {QStringLiteral("[General]"),  QStringLiteral("builddate="), QStringLiteral("description="),
            QStringLiteral("language="),  QStringLiteral("title="),     QStringLiteral("version="),
            QStringLiteral("website="),   QString(),                    QStringLiteral("[EditFile]"),
            QStringLiteral("I386\\SVCPACK.INF,SetupHotfixesToRun,AddProgram")};
}

int FindEntryLine(const QStringList& lines, const QString& word)
{
    const QString needle = word.toLower();
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].toLower().contains(needle))
            return i;
    }
    return -1;
}

void UpdateGeneralSection(QStringList& lines, const DescriptiveFields& fields)
{
    if (FindEntryLine(lines, QStringLiteral("[general]")) == -1)
        lines.insert(0, QStringLiteral("[General]"));
    const std::pair<const char*, const QString*> keys[] = {
        {"website", &fields.Site},         {"version", &fields.Version},
        {"title", &fields.Title},          {"language", &fields.Language},
        {"description", &fields.Description}, {"builddate", &fields.BuildDate},
    };
    for (const auto& [key, value] : keys) {
        const QString line = QLatin1String(key) + QLatin1Char('=') + *value;
        const int at = FindEntryLine(lines, QLatin1String(key));
        if (at >= 0)
            lines[at] = line;
        else
            lines.insert(1, line);
    }
}

QString UpdateGeneralSectionText(const QString& text, const DescriptiveFields& fields)
{
    // Splitting drops the empty line after a last line break; it comes back at the end.
    const bool endsWithBreak = text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
    QStringList lines = SplitLines(text);
    UpdateGeneralSection(lines, fields);
    return lines.join(QLatin1Char('\n')) + (endsWithBreak ? QStringLiteral("\n") : QString());
}

void ChangeField(QString& text, DescriptiveFields& fields, const FieldValue& change)
{
    QString& field = fields.*change.first;
    if (field == change.second)
        return;
    field = change.second;
    text = UpdateGeneralSectionText(text, fields);
}

}  // namespace pw
