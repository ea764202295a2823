#include "tryout/CommandFile.h"

namespace pw {
namespace {

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString SkipBlanks(const QString& text, qsizetype from)
{
    while (from < text.size() && IsBlank(text[from]))
        ++from;
    return text.mid(from);
}

}  // namespace

CommandFile LeadingFile(const QString& command, const std::function<bool(const QString&)>& isFile)
{
    const QString text = SkipBlanks(command, 0);
    if (text.startsWith(QLatin1Char('"'))) {
        qsizetype close = text.indexOf(QLatin1Char('"'), 1);
        if (close < 0)
            close = text.size();
        const QString file = text.mid(1, close - 1);
        return {file, SkipBlanks(text, close + 1), isFile(file)};
    }
    qsizetype firstEnd = -1;
    for (qsizetype end = text.size(); end > 0; --end) {
        const bool wordEnd = !IsBlank(text[end - 1]) && (end == text.size() || IsBlank(text[end]));
        if (!wordEnd)
            continue;
        firstEnd = end;
        if (isFile(text.left(end)))
            return {text.left(end), SkipBlanks(text, end), true};
    }
    // No run of words names a file: the first word stands for it, as Windows would start it.
    if (firstEnd < 0)
        return {};
    return {text.left(firstEnd), SkipBlanks(text, firstEnd), false};
}

}  // namespace pw
