#include "platform/PartialFile.h"

#include "platform/Errors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace pw {

QString PartialFileName(const QString& path)
{
    const QFileInfo info(path);
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".partial");
}

void GivePartialFileItsName(const QString& partial, const QString& path)
{
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        QFile::remove(partial);
        throw CannotCreateFile(path, SystemErrorText(error));
    }
}

}  // namespace pw
