#include "platform/TextLines.h"

namespace pw {

QByteArray JoinLinesCrLf(const QList<QByteArray>& lines)
{
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}

}  // namespace pw
