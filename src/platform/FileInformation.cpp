#include "platform/FileInformation.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace pw {
namespace {

constexpr std::uint64_t kTicksFrom1601To1970 = 116444736000000000ull;

SpecialFile SpecialKind(mode_t mode)
{
    if (S_ISFIFO(mode))
        return SpecialFile::Pipe;
    if (S_ISSOCK(mode))
        return SpecialFile::Socket;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return SpecialFile::Device;
    return SpecialFile::None;
}

}  // namespace

std::uint64_t FileTimeFromUnix(qint64 seconds, qint64 nanoseconds)
{
    return std::uint64_t(seconds * 10000000 + nanoseconds / 100 + qint64(kTicksFrom1601To1970));
}

std::optional<FileInformation> QueryFileInformation(const QString& path, int* error)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (error)
            *error = errno;
        return std::nullopt;
    }
    FileInformation info;
    const bool folder = S_ISDIR(st.st_mode);
    info.size = folder ? 0 : qint64(st.st_size);
    info.lastWriteTime = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    info.attributes = folder ? kAttributeDirectory : kAttributeArchive;
    if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        info.attributes |= kAttributeReadOnly;
    info.special = SpecialKind(st.st_mode);
    info.device = st.st_dev;
    info.inode = st.st_ino;
    return info;
}

}  // namespace pw
