#pragma once
// Random access to the bytes of a file or of memory. Executables can be gigabytes long, and only their
// headers and resources are of interest, so they are read in small pieces at chosen offsets.
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>

namespace pw {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Fills `out` with the bytes at `offset`; false, with `out` unspecified, when they are not all there.
    virtual bool ReadAt(uint64_t offset, std::span<uint8_t> out) = 0;

protected:
    bool Holds(uint64_t offset, size_t count) const { return offset <= Size() && count <= Size() - offset; }
};

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(const QString& path);
    bool IsOpen() const { return file_.isOpen(); }
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override;

private:
    QFile file_;
    uint64_t size_ = 0;
};

class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override;

private:
    std::span<const uint8_t> bytes_;
};

}  // namespace pw
