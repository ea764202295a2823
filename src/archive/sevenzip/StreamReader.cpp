#include "archive/sevenzip/StreamReader.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace pw {

TMyStreamReader::TMyStreamReader(const QString& fileName, ReadFailureSink onFailure)
    : fileName_(fileName), onFailure_(std::move(onFailure))
{
    fd_ = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        openError_ = errno;
        return;
    }
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    size_ = end > 0 ? qint64(end) : 0;
}

TMyStreamReader::~TMyStreamReader()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (error_ != 0 && onFailure_)
        onFailure_(fileName_, error_);
}

HRESULT TMyStreamReader::QueryInterface(const GUID& iid, void** out) noexcept
{
    if (iid == IID_IUnknown || iid == IID_ISequentialInStream || iid == IID_IInStream)
        *out = static_cast<IInStream*>(this);
    else if (iid == IID_IStreamGetSize)
        *out = static_cast<IStreamGetSize*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT TMyStreamReader::Read(void* data, std::uint32_t size, std::uint32_t* processedSize) noexcept
{
    std::lock_guard lock(mutex_);
    ssize_t n = 0;
    if (fd_ < 0) {
        error_ = openError_;
    } else {
        do {
            n = ::pread(fd_, data, size, position_);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            error_ = errno;
            n = 0;
        }
    }
    position_ += n;
    if (processedSize)
        *processedSize = std::uint32_t(n);
    return S_OK;
}

HRESULT TMyStreamReader::Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) noexcept
{
    std::lock_guard lock(mutex_);
    HRESULT result = S_OK;
    qint64 target = position_;
    switch (origin) {
    case 0:
        target = offset;
        break;
    case 1:
        target = position_ + offset;
        break;
    case 2:
        if (size_ > 0)
            target = size_ + offset;
        else
            result = S_FALSE;
        break;
    default:
        break;
    }
    if (target < 0)
        return E_NEGATIVE_SEEK;
    position_ = target;
    if (newPosition)
        *newPosition = std::uint64_t(position_);
    return result;
}

HRESULT TMyStreamReader::GetSize(std::uint64_t* size) noexcept
{
    std::lock_guard lock(mutex_);
    if (size_ <= 0)
        return S_FALSE;
    *size = std::uint64_t(size_);
    return S_OK;
}

}  // namespace pw
