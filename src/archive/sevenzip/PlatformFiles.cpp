#include "archive/sevenzip/PlatformFiles.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {
namespace {

constexpr std::uint64_t kTicksFrom1601To1970 = 116444736000000000ull;

int ReadRetrying(int fd, char* buffer, size_t size)
{
    ssize_t n;
    do {
        n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return int(n);
}

bool WriteWhole(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

}  // namespace

std::uint64_t FileTimeFromUnix(qint64 seconds, qint64 nanoseconds)
{
    return std::uint64_t(seconds * 10000000 + nanoseconds / 100 + qint64(kTicksFrom1601To1970));
}

std::optional<FileInformation> QueryFileInformation(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    FileInformation info;
    const bool folder = S_ISDIR(st.st_mode);
    info.size = folder ? 0 : qint64(st.st_size);
    info.lastWriteTime = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    info.attributes = folder ? kAttributeDirectory : kAttributeArchive;
    if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        info.attributes |= kAttributeReadOnly;
    info.device = st.st_dev;
    info.inode = st.st_ino;
    return info;
}

int CopyFileNoReplace(const QString& source, const QString& dest)
{
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    const QByteArray target = QFile::encodeName(dest);
    const int out = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    int error = 0;
    char buffer[1 << 16];
    for (;;) {
        const int n = ReadRetrying(in, buffer, sizeof buffer);
        if (n < 0 || (n > 0 && !WriteWhole(out, buffer, size_t(n)))) {
            error = errno ? errno : EIO;
            break;
        }
        if (n == 0)
            break;
    }
    ::close(in);
    if (::close(out) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(target.constData());
    return error;
}

int DrivePrefixLength(const QString& path)
{
    if (path.size() >= 3 && path[1] == QLatin1Char(':') && path[0].unicode() < 128 && path[0].isLetter()
        && (path[2] == QLatin1Char('\\') || path[2] == QLatin1Char('/')))
        return 3;
    return path.startsWith(QLatin1Char('/')) ? 1 : 0;
}

}  // namespace pw
