#include "pipeline/OutputFolder.h"

#include "platform/Errors.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {

QString FolderWriteProblem(const QString& folder, const BuildTexts& texts)
{
    const QByteArray path = QFile::encodeName(folder);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return (errno == ENOTDIR ? texts.NotAFolderStr : texts.NoFolderStr).arg(QDir::toNativeSeparators(folder));
    if (!S_ISDIR(st.st_mode))
        return texts.NotAFolderStr.arg(QDir::toNativeSeparators(folder));
    // Asked of the system rather than read from the permission bits: it knows about read-only mounts and
    // about users (root) whom the bits do not stop.
    if (::access(path.constData(), W_OK | X_OK) != 0)
        return texts.ReadOnlyFolderStr.arg(QDir::toNativeSeparators(folder));
    return {};
}

QString WriteFailureDetail(int error, const QString& folder, const BuildTexts& texts)
{
    const QString shown = QDir::toNativeSeparators(folder);
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return texts.DiskFullStr.arg(shown);
    case EROFS:
    case EACCES:
    case EPERM:
        return texts.ReadOnlyFolderStr.arg(shown);
    case ENOENT:
        return texts.FolderGoneStr.arg(shown);
    case ENOTDIR:
        return texts.NotAFolderStr.arg(shown);
    default:
        return {};
    }
}

QString FolderFailureText(int error, const QString& folder, const BuildTexts& texts)
{
    const QString detail = WriteFailureDetail(error, folder, texts);
    return detail.isEmpty() ? texts.FolderUnusableStr.arg(QDir::toNativeSeparators(folder), SystemErrorText(error))
                            : detail;
}

}  // namespace pw
