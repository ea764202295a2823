#include "pipeline/CabinetProgress.h"

#include <algorithm>

namespace pw {

void CabinetProgress::BlockCompressed(quint32 uncompressedSize)
{
    compressed_ += uncompressedSize;
    Update();
}

void CabinetProgress::FolderCopied(quint32 copied, quint32 total)
{
    copying_ = true;
    copied_ = copied;
    copyTotal_ = total;
    Update();
}

void CabinetProgress::Update()
{
    // Every file has been read once the copy starts, whatever its size was when it was counted. Until
    // then the copy's length is not known: it is taken to be that of the files, which a stored cabinet's
    // copy is and a compressed one's is not much more than.
    const qint64 read = copying_ ? toAdd_ : std::min(compressed_, toAdd_);
    const qint64 copyLength = copying_ ? copyTotal_ : toAdd_;
    const qint64 work = toAdd_ + copyLength;
    if (work <= 0)
        return;
    const double fraction = double(read + (copying_ ? copied_ : 0)) / double(work);
    shown_ = std::clamp(fraction, shown_, 1.0);
}

}  // namespace pw
