#include "platform/version/ByteSource.h"

#include <algorithm>

namespace pw {

FileByteSource::FileByteSource(const QString& path) : file_(path)
{
    if (file_.open(QIODevice::ReadOnly))
        size_ = uint64_t(file_.size());
}

bool FileByteSource::ReadAt(uint64_t offset, std::span<uint8_t> out)
{
    if (!IsOpen() || !Holds(offset, out.size()) || !file_.seek(qint64(offset)))
        return false;
    return file_.read(reinterpret_cast<char*>(out.data()), qint64(out.size())) == qint64(out.size());
}

bool MemoryByteSource::ReadAt(uint64_t offset, std::span<uint8_t> out)
{
    if (!Holds(offset, out.size()))
        return false;
    std::copy_n(bytes_.begin() + ptrdiff_t(offset), out.size(), out.begin());
    return true;
}

}  // namespace pw
