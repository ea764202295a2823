#include "pipeline/OutputFolder.h"

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
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return texts.NoFolderStr.arg(QDir::toNativeSeparators(folder));
    // Asked of the system rather than read from the permission bits: it knows about read-only mounts and
    // about users (root) whom the bits do not stop.
    if (::access(path.constData(), W_OK | X_OK) != 0)
        return texts.ReadOnlyFolderStr.arg(QDir::toNativeSeparators(folder));
    return {};
}

QString WriteFailureDetail(int error, const QString& folder, const BuildTexts& texts)
{
    return error == ENOSPC || error == EDQUOT ? texts.DiskFullStr.arg(QDir::toNativeSeparators(folder)) : QString();
}

}  // namespace pw
