#pragma once
// The file operations of the 7z writer, in the terms the library and the archive format use: Windows
// attribute words and 100-ns file times.
#include <QString>

#include <cstdint>
#include <optional>

namespace pw {

constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;

struct FileInformation {
    qint64 size = 0;
    std::uint64_t lastWriteTime = 0;  // 100-ns ticks since 1601-01-01 UTC
    std::uint32_t attributes = 0;     // Windows attribute word: 0x10 folder, 0x20 file, 0x01 read-only
    // Identity of the file on this host, to notice a folder reached a second time through a link.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool isDirectory() const { return attributes & kAttributeDirectory; }
};

// Size, time and attributes of the file or folder at `path`, through links; nothing when it does not
// exist.
std::optional<FileInformation> QueryFileInformation(const QString& path);

// Copies `source` to `dest`, failing when `dest` already exists. Returns 0, or the errno of the failure;
// a copy that fails part-way leaves no `dest` behind.
int CopyFileNoReplace(const QString& source, const QString& dest);

// Length of the host's absolute-path prefix: 1 for "/" ..., 3 for a Windows drive such as "C:\" or "C:/",
// 0 for a relative path.
int DrivePrefixLength(const QString& path);

// Seconds (and nanoseconds) since the Unix epoch as 100-ns ticks since 1601, the archive's file time.
std::uint64_t FileTimeFromUnix(qint64 seconds, qint64 nanoseconds = 0);

}  // namespace pw
