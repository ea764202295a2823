#include "platform/LockedFolder.h"

#include "platform/FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {
namespace {

const QString kLockName = QStringLiteral(".lock");
// New names to try when the folder made was taken at once by a process removing abandoned folders.
constexpr int kAttempts = 8;

// Opens the lock file of `folder` (creating it when missing) and locks it without waiting. -1, with
// errno set, when another process holds the lock, or when the file locked no longer has that name
// (another process removed the folder meanwhile).
int LockFolder(const QString& folder)
{
    const QByteArray lockPath = QFile::encodeName(folder + kLockName);
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return -1;
    struct stat held {}, named {};
    int error = 0;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno;
    else if (::fstat(fd, &held) != 0 || ::lstat(lockPath.constData(), &named) != 0)
        error = errno;
    else if (held.st_dev != named.st_dev || held.st_ino != named.st_ino)
        error = ESTALE;
    if (error == 0)
        return fd;
    ::close(fd);
    errno = error;
    return -1;
}

// The lock file goes last: while it is there and locked, no other process can take the folder for its
// own, nor for abandoned.
void RemoveLockedFolder(const QString& folder, int lock)
{
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.fileName() == kLockName)
            continue;
        if (entry.isDir() && !entry.isSymLink())
            RemoveTree(entry.filePath());
        else
            QFile::remove(entry.filePath());
    }
    QFile::remove(folder + kLockName);
    ::rmdir(QFile::encodeName(folder).constData());
    ::close(lock);
}

}  // namespace

LockedFolder::LockedFolder(const QString& parent, const QString& prefix)
{
    for (int attempt = 1;; ++attempt) {
        const QString name = prefix + QString::number(::getpid()) + QLatin1Char('-') +
                             QString::number(QRandomGenerator::system()->generate64(), 36);
        const QString path = parent + name + QLatin1Char('/');
        const QByteArray encoded = QFile::encodeName(path);
        if (::mkdir(encoded.constData(), 0700) != 0) {
            if (errno == EEXIST && attempt < kAttempts)
                continue;
            error_ = errno;
            return;
        }
        lock_ = LockFolder(path);
        if (lock_ >= 0) {
            path_ = path;
            return;
        }
        error_ = errno;
        ::rmdir(encoded.constData());
        if (attempt == kAttempts)
            return;
        error_ = 0;
    }
}

LockedFolder::~LockedFolder()
{
    if (lock_ >= 0)
        RemoveLockedFolder(path_, lock_);
}

void RemoveAbandonedFolders(const QString& parent, const QString& prefix,
                            const std::function<void(const QString& folder)>& beforeRemoval)
{
    const QFileInfoList entries =
        QDir(parent).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        if (!entry.fileName().startsWith(prefix))
            continue;
        const QString folder = entry.filePath() + QLatin1Char('/');
        const int lock = LockFolder(folder);
        if (lock < 0)
            continue;
        if (beforeRemoval)
            beforeRemoval(folder);
        RemoveLockedFolder(folder, lock);
    }
}

}  // namespace pw
