#pragma once
// Splitting a text into lines the way the program's text files and its memo are read: CR LF, a lone CR
// and a lone LF each end a line, and a break after the last line does not add an empty one.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace pw {

template <typename Text>
QList<Text> SplitLines(const Text& text)
{
    QList<Text> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

// Every line followed by CR LF, the last one included.
QByteArray JoinLinesCrLf(const QList<QByteArray>& lines);

}  // namespace pw
