#include "archive/sevenzip/PlatformFiles.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace pw {
namespace {

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
