#pragma once
// The output stream through which the library writes the archive: one file, a file that continues an
// existing stub (a self-extracting archive), or numbered volumes of a fixed size.
#include "archive/sevenzip/ComObject.h"

#include <QDateTime>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <vector>

namespace pw {

class TMyStreamWriter final : public IOutStream, private RefCounted<TMyStreamWriter> {
public:
    struct Settings {
        QString archivePath;
        QDateTime stampTime;             // last-write time given to every file when it is opened
        std::uint32_t attributes = 0x20;  // Windows attribute word of new files
        std::uint32_t volumeSize = 0;     // bytes per file; 0 = one file
        bool appendMode = false;          // continue the existing file at archivePath
        std::atomic<qint32>* errorSink = nullptr;  // receives the error code when the stream is released
    };

    // Opens the first file. Throws SilentAbort when it cannot be opened, created or stamped; the error
    // code has then reached the sink.
    static ComPtr<TMyStreamWriter> Open(Settings settings);

    HRESULT QueryInterface(const GUID& iid, void** out) noexcept override;
    ULONG AddRef() noexcept override { return AddReference(); }
    ULONG Release() noexcept override { return DropReference(); }

    // S_FALSE, with nothing counted, once any write or volume has failed.
    HRESULT Write(const void* data, std::uint32_t size, std::uint32_t* processedSize) noexcept override;
    HRESULT Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) noexcept override;
    HRESULT SetSize(std::uint64_t newSize) noexcept override;

    // Names of the files opened so far, in order.
    QStringList FileNames() const;

private:
    friend class RefCounted<TMyStreamWriter>;
    explicit TMyStreamWriter(Settings settings) : settings_(std::move(settings)) {}
    ~TMyStreamWriter();

    struct Volume {
        QString name;
        int fd;
    };

    bool OpenNextFile();
    QString NextFileName() const;
    bool WriteAt(int fd, const char* data, size_t size, std::uint64_t offset);
    bool WriteVolumes(const char* data, std::uint32_t size);

    const Settings settings_;
    mutable std::mutex mutex_;  // one position for callers on any thread
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
    qint32 error_ = 0;
    std::vector<Volume> volumes_;
};

}  // namespace pw
