#pragma once
// The input stream through which the library reads one item's file.
#include "archive/sevenzip/ComObject.h"

#include <QString>

#include <functional>
#include <mutex>

namespace pw {

// Told, as a reader is released, which file it could not read and the system's error for it.
using ReadFailureSink = std::function<void(const QString& fileName, qint32 error)>;

class TMyStreamReader final : public IInStream, public IStreamGetSize, private RefCounted<TMyStreamReader> {
public:
    // Opens `fileName` for reading. A file that cannot be opened still gives a stream: its reads deliver
    // nothing and record the error, which goes to `onFailure` (when given) as the stream is released.
    TMyStreamReader(const QString& fileName, ReadFailureSink onFailure);

    HRESULT QueryInterface(const GUID& iid, void** out) noexcept override;
    ULONG AddRef() noexcept override { return AddReference(); }
    ULONG Release() noexcept override { return DropReference(); }

    // A failed read looks like the end of the data to the library: 0 bytes and S_OK.
    HRESULT Read(void* data, std::uint32_t size, std::uint32_t* processedSize) noexcept override;
    HRESULT Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) noexcept override;
    // S_FALSE for an empty (or unopened) file.
    HRESULT GetSize(std::uint64_t* size) noexcept override;

private:
    friend class RefCounted<TMyStreamReader>;
    ~TMyStreamReader();

    std::mutex mutex_;  // one position for callers on any thread
    int fd_ = -1;
    int openError_ = 0;
    qint64 position_ = 0;
    qint64 size_ = 0;
    qint32 error_ = 0;
    const QString fileName_;
    const ReadFailureSink onFailure_;
};

}  // namespace pw
