#include "platform/Errors.h"

#include <cstring>

namespace pw {

QString SystemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

UserError CannotOpenFile(const QString& path, const QString& reason)
{
    return UserError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
}

UserError CannotCreateFile(const QString& path, const QString& reason)
{
    return UserError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
}

FileError CannotCreateFile(const QString& path, int error)
{
    return FileError(CannotCreateFile(path, SystemErrorText(error)).message(), path, error);
}

FileError UnableToWriteTo(const QString& path, int error)
{
    return FileError(QStringLiteral("Unable to write to %1. %2").arg(path, SystemErrorText(error)), path, error);
}

}  // namespace pw
