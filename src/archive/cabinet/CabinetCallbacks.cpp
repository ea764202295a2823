#include "archive/cabinet/CabinetCallbacks.h"

#include "platform/SourceDateEpoch.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {
namespace {

constexpr USHORT kReadOnly = 0x01;
constexpr USHORT kHidden = 0x02;
constexpr USHORT kArchive = 0x20;
constexpr USHORT kKeptAttributes = 0x27;
constexpr int kTempFolderRoom = 260;

int HostOpenFlags(int oflag)
{
    const int access = oflag & 3;
    int flags = access == 0 ? O_RDONLY : access == 1 ? O_WRONLY : O_RDWR;
    if ((oflag & _O_EXCL) && (oflag & _O_CREAT))
        flags |= O_CREAT | O_EXCL;
    else if ((oflag & _O_TRUNC) && (oflag & _O_CREAT))
        flags |= O_CREAT | O_TRUNC;
    else if (oflag & _O_TRUNC)
        flags |= O_TRUNC;
    else if (oflag & _O_CREAT)
        flags |= O_CREAT;
    return flags | O_CLOEXEC;
}

int Fail(int* err)
{
    *err = errno;
    return -1;
}

}  // namespace

extern "C" {

void* FciAlloc(ULONG cb)
{
    return std::malloc(cb);
}

void FciFree(void* memory)
{
    std::free(memory);
}

INT_PTR FciOpen(char* pszFile, int oflag, int, int* err, void*)
{
    // The host has no share modes, and no attribute for short-lived files: those flags change nothing here.
    const int fd = ::open(pszFile, HostOpenFlags(oflag), 0666);
    if (fd < 0)
        return Fail(err);
    if (oflag & _O_RANDOM)
        posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
    if (oflag & _O_SEQUENTIAL)
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    // Deleted on close: the name goes now, the data when the last descriptor is closed.
    if ((oflag & _O_TEMPORARY) && (oflag & _O_CREAT))
        ::unlink(pszFile);
    if ((oflag & _O_APPEND) && ::lseek(fd, 0, SEEK_END) < 0) {
        *err = errno;
        ::close(fd);
        return -1;
    }
    return fd;
}

UINT FciRead(INT_PTR hf, void* memory, UINT cb, int* err, void*)
{
    UINT done = 0;
    while (done < cb) {
        const ssize_t n = ::read(static_cast<int>(hf), static_cast<char*>(memory) + done, cb - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return static_cast<UINT>(Fail(err));
        if (n == 0)
            break;
        done += static_cast<UINT>(n);
    }
    return done;
}

UINT FciWrite(INT_PTR hf, void* memory, UINT cb, int* err, void*)
{
    UINT done = 0;
    while (done < cb) {
        const ssize_t n = ::write(static_cast<int>(hf), static_cast<const char*>(memory) + done, cb - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return static_cast<UINT>(Fail(err));
        done += static_cast<UINT>(n);
    }
    return done;
}

int FciClose(INT_PTR hf, int* err, void*)
{
    return ::close(static_cast<int>(hf)) == 0 ? 0 : Fail(err);
}

LONG FciSeek(INT_PTR hf, LONG dist, int seektype, int* err, void*)
{
    const int whence = seektype == 1 ? SEEK_CUR : seektype == 2 ? SEEK_END : SEEK_SET;
    const off_t position = ::lseek(static_cast<int>(hf), dist, whence);
    if (position < 0)
        return Fail(err);
    if (position > 0x7FFFFFFF) {
        *err = EOVERFLOW;
        return -1;
    }
    return static_cast<LONG>(position);
}

int FciDelete(char* pszFile, int* err, void*)
{
    return ::unlink(pszFile) == 0 ? 0 : Fail(err);
}

BOOL FciGetTempFile(char* pszTempName, int cbTempName, void*)
{
    return TempFileNameIn(QFile::encodeName(QDir::tempPath()), pszTempName, cbTempName);
}

INT_PTR FciGetOpenInfo(char* pszName, USHORT* pdate, USHORT* ptime, USHORT* pattribs, int* err, void*)
{
    // Without waiting: opening a named pipe for reading would wait for a writer for ever. On a plain file
    // the flag changes nothing, so the descriptor is the one the data is read through.
    const int fd = ::open(pszName, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Fail(err);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        *err = errno;
        ::close(fd);
        return -1;
    }
    // Only a plain file has data to store: a folder has none, a pipe or a device may never end.
    if (!S_ISREG(st.st_mode)) {
        *err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return -1;
    }
    // The host's nearest to the file attributes: no write permission is read-only, a leading dot hidden;
    // files are always marked for archiving, as a new or changed file is.
    const char* slash = std::strrchr(pszName, '/');
    const char* base = slash ? slash + 1 : pszName;
    USHORT attributes = kArchive;
    if (!(st.st_mode & S_IWUSR))
        attributes |= kReadOnly;
    if (base[0] == '.')
        attributes |= kHidden;
    *pattribs = attributes & kKeptAttributes;
    RecordedDosDateTime(RecordedSeconds(st.st_mtime), pdate, ptime);
    return fd;
}

}  // extern "C"

BOOL TempFileNameIn(const QByteArray& folder, char* pszTempName, int cbTempName)
{
    if (folder.isEmpty() || folder.size() >= kTempFolderRoom)
        return 0;
    QByteArray name = folder + (folder.endsWith('/') ? "stcXXXXXX" : "/stcXXXXXX");
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return 0;
    ::close(fd);
    // The caller creates the file itself, exclusively, so the one made here to claim the name goes.
    ::unlink(name.constData());
    if (name.size() >= cbTempName)
        return 0;
    std::memcpy(pszTempName, name.constData(), size_t(name.size()) + 1);
    return 1;
}

void RecordedDosDateTime(std::time_t moment, USHORT* date, USHORT* time)
{
    std::tm local {};
    if (!RecordedCalendarTime(moment, &local) || local.tm_year < 80) {
        *date = (1 << 5) | 1;
        *time = 0;
        return;
    }
    if (local.tm_year > 207) {
        *date = static_cast<USHORT>((127 << 9) | (12 << 5) | 31);
        *time = static_cast<USHORT>((23 << 11) | (59 << 5) | 29);
        return;
    }
    *date = static_cast<USHORT>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    *time = static_cast<USHORT>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

}  // namespace pw
