#pragma once
// What a file or folder is, in the terms the archive formats use: Windows attribute words and 100-ns
// file times.
#include <QString>

#include <cstdint>
#include <optional>

namespace pw {

constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;

// Named pipes, sockets and devices hold no data to copy: reading one waits for a writer, or never ends.
enum class SpecialFile { None, Pipe, Socket, Device };

struct FileInformation {
    qint64 size = 0;
    std::uint64_t lastWriteTime = 0;  // 100-ns ticks since 1601-01-01 UTC
    std::uint32_t attributes = 0;     // Windows attribute word: 0x10 folder, 0x20 file, 0x01 read-only
    SpecialFile special = SpecialFile::None;
    // Identity of the file on this host, to notice a folder reached a second time through a link.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool isDirectory() const { return attributes & kAttributeDirectory; }
};

// Size, time and attributes of the file or folder at `path`, through links; nothing when it does not
// exist or cannot be looked at, with the errno in `error` when asked for.
std::optional<FileInformation> QueryFileInformation(const QString& path, int* error = nullptr);

// Seconds (and nanoseconds) since the Unix epoch as 100-ns ticks since 1601, the archives' file time.
std::uint64_t FileTimeFromUnix(qint64 seconds, qint64 nanoseconds = 0);

}  // namespace pw
