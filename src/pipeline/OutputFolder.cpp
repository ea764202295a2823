#include "pipeline/OutputFolder.h"

#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {
namespace {

QString Resolved(const QString& path)
{
    // Resolve what exists of the path and keep the rest as written, so a file that does not exist yet
    // still resolves through its existing folder.
    QFileInfo info(QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(path)));
    QStringList tail;
    while (!info.exists() && info.absoluteFilePath() != info.absolutePath()) {
        tail.prepend(info.fileName());
        info = QFileInfo(info.absolutePath());
    }
    QString base = info.canonicalFilePath();
    if (base.isEmpty())
        base = info.absoluteFilePath();
    for (const QString& part : tail)
        base += QLatin1Char('/') + part;
    return QDir::cleanPath(base);
}

}  // namespace

bool IsInsideFolder(const QString& path, const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QString f = Resolved(folder);
    const QString p = Resolved(path);
    return p == f || p.startsWith(f.endsWith(QLatin1Char('/')) ? f : f + QLatin1Char('/'));
}

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
        // A folder that is there but makes no file (the kernel's /proc, /sys) answers as if it were not.
        return QFileInfo(folder).isDir() ? texts.FolderTakesNoFilesStr.arg(shown) : texts.FolderGoneStr.arg(shown);
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
