#include "platform/FileNames.h"

#include <algorithm>

namespace pw {

QString FileNamePart(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    QString name = path.mid(cut + 1);
    if (cut < 0 && name.size() >= 2 && name[1] == QLatin1Char(':') && name[0].isLetter())
        name.remove(0, 2);
    return name;
}

QString LowerExtension(const QString& path)
{
    const QString name = FileNamePart(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

QString BareFileName(const QString& path)
{
    const QString name = FileNamePart(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString JoinPath(const QString& first, const QString& second, QChar separator)
{
    if (first.isEmpty())
        return second;
    if (second.isEmpty())
        return first;
    const bool endsWith = first.endsWith(separator);
    const bool startsWith = second.startsWith(separator);
    if (endsWith && startsWith)
        return first + second.mid(1);
    if (!endsWith && !startsWith)
        return first + separator + second;
    return first + second;
}

}  // namespace pw
