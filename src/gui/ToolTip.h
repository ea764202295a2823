#pragma once
// A tooltip as rich text: Qt wraps only those, at a readable width, where a plain one runs on in a
// single line wider than the window it explains.
#include <QString>

namespace pw {

inline QString WrappedToolTip(const QString& text)
{
    if (text.isEmpty())
        return text;  // no tooltip at all
    return QStringLiteral("<p>") + text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")) +
           QStringLiteral("</p>");
}

}  // namespace pw
