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

namespace {

// The "[General]" keys, in the order they are written, and the field each is made from.
const std::pair<const char*, QString DescriptiveFields::*> kGeneralKeys[] = {
    {"website", &DescriptiveFields::Site},         {"version", &DescriptiveFields::Version},
    {"title", &DescriptiveFields::Title},          {"language", &DescriptiveFields::Language},
    {"description", &DescriptiveFields::Description}, {"builddate", &DescriptiveFields::BuildDate},
};

}  // namespace

void UpdateGeneralSection(QStringList& lines, const DescriptiveFields& fields)
{
    if (FindEntryLine(lines, QStringLiteral("[general]")) == -1)
        lines.insert(0, QStringLiteral("[General]"));
    for (const auto& [key, field] : kGeneralKeys) {
        const QString line = QLatin1String(key) + QLatin1Char('=') + fields.*field;
        const int at = FindEntryLine(lines, QLatin1String(key));
        if (at >= 0)
            lines[at] = line;
        else
            lines.insert(1, line);
    }
}

QStringList ReadGeneralSection(const QStringList& lines, DescriptiveFields& fields)
{
    QStringList missing;
    for (const auto& [key, field] : kGeneralKeys) {
        // The line the update would rewrite, read only when the update made it: "key=value".
        const QString prefix = QLatin1String(key) + QLatin1Char('=');
        const int at = FindEntryLine(lines, QLatin1String(key));
        if (at >= 0 && lines[at].startsWith(prefix, Qt::CaseInsensitive))
            fields.*field = lines[at].mid(prefix.size());
        else
            missing.append(QLatin1String(key));
    }
    return missing;
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
