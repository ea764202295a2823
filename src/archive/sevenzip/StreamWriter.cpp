#include "archive/sevenzip/StreamWriter.h"

#include "archive/sevenzip/PlatformFiles.h"
#include "platform/Errors.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {

ComPtr<TMyStreamWriter> TMyStreamWriter::Open(Settings settings)
{
    ComPtr<TMyStreamWriter> writer(new TMyStreamWriter(std::move(settings)));
    bool opened;
    {
        std::lock_guard lock(writer->mutex_);
        opened = writer->OpenNextFile();
    }
    if (!opened)
        throw SilentAbort();  // the holder's release delivers the error code on the way out
    return writer;
}

TMyStreamWriter::~TMyStreamWriter()
{
    if (error_ != 0 && settings_.errorSink)
        settings_.errorSink->store(error_);
    for (const Volume& v : volumes_)
        ::close(v.fd);
}

HRESULT TMyStreamWriter::QueryInterface(const GUID& iid, void** out) noexcept
{
    if (iid == IID_IUnknown || iid == IID_ISequentialOutStream || iid == IID_IOutStream) {
        *out = static_cast<IOutStream*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

QString TMyStreamWriter::NextFileName() const
{
    if (settings_.volumeSize == 0)
        return settings_.archivePath;
    // The first file of a self-extracting archive is the ".exe" itself; the volumes after it are numbered.
    if (settings_.appendMode && volumes_.empty())
        return settings_.archivePath;
    return settings_.archivePath + QStringLiteral(".%1").arg(volumes_.size() + 1, 3, 10, QLatin1Char('0'));
}

bool TMyStreamWriter::OpenNextFile()
{
    const QString name = NextFileName();
    const QByteArray path = QFile::encodeName(name);
    const bool continueStub = settings_.appendMode && volumes_.empty();
    const mode_t mode = (settings_.attributes & kAttributeReadOnly) ? 0444 : 0666;
    const int fd = continueStub ? ::open(path.constData(), O_RDWR | O_CLOEXEC)
                                : ::open(path.constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    if (continueStub) {
        const off_t end = ::lseek(fd, 0, SEEK_END);
        position_ = end > 0 ? std::uint64_t(end) : 0;
        size_ = position_;
    }
    // The stamp has the two-second resolution of a packed local date and time.
    const timespec stamp[2] = {{0, UTIME_OMIT}, {time_t(settings_.stampTime.toSecsSinceEpoch() & ~qint64(1)), 0}};
    if (::futimens(fd, stamp) != 0) {
        error_ = errno;
        ::close(fd);
        return false;
    }
    volumes_.push_back({name, fd});
    return true;
}

bool TMyStreamWriter::WriteAt(int fd, const char* data, size_t size, std::uint64_t offset)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            return false;
        }
        data += n;
        size -= size_t(n);
        offset += std::uint64_t(n);
    }
    return true;
}

bool TMyStreamWriter::WriteVolumes(const char* data, std::uint32_t size)
{
    const std::uint64_t volume = settings_.volumeSize;
    const std::uint64_t last = (position_ + size - 1) / volume;
    while (volumes_.size() <= last) {
        if (!OpenNextFile())
            return false;
    }
    std::uint64_t index = position_ / volume;
    std::uint64_t offset = position_ % volume;
    while (size > 0) {
        const std::uint32_t chunk = std::uint32_t(std::min<std::uint64_t>(size, volume - offset));
        if (!WriteAt(volumes_[index].fd, data, chunk, offset))
            return false;
        data += chunk;
        size -= chunk;
        ++index;
        offset = 0;
    }
    return true;
}

HRESULT TMyStreamWriter::Write(const void* data, std::uint32_t size, std::uint32_t* processedSize) noexcept
{
    std::lock_guard lock(mutex_);
    const char* bytes = static_cast<const char*>(data);
    bool written;
    if (settings_.volumeSize == 0)
        written = WriteAt(volumes_.front().fd, bytes, size, position_);
    else
        written = size == 0 || WriteVolumes(bytes, size);
    const std::uint32_t counted = written ? size : 0;
    position_ += counted;
    size_ = std::max(size_, position_);
    if (processedSize)
        *processedSize = counted;
    return error_ != 0 ? S_FALSE : S_OK;
}

HRESULT TMyStreamWriter::Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) noexcept
{
    std::lock_guard lock(mutex_);
    std::int64_t target = std::int64_t(position_);
    if (origin == 0)
        target = offset;
    else if (origin == 1)
        target += offset;
    else if (origin == 2)
        target = std::int64_t(size_) + offset;
    if (target < 0)
        return E_NEGATIVE_SEEK;
    position_ = std::uint64_t(target);
    // A seek past the end makes the logical size grow; the file keeps the bytes actually written.
    size_ = std::max(size_, position_);
    if (newPosition)
        *newPosition = position_;
    return S_OK;
}

HRESULT TMyStreamWriter::SetSize(std::uint64_t) noexcept
{
    return S_FALSE;
}

QStringList TMyStreamWriter::FileNames() const
{
    std::lock_guard lock(mutex_);
    QStringList names;
    for (const Volume& v : volumes_)
        names.append(v.name);
    return names;
}

}  // namespace pw
