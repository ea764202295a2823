#pragma once
// How far the writing of a cabinet has come, from what the Cabinet API tells of its work: first the added
// files' blocks as they are compressed, then the folder's bytes as they are copied into the cabinet file.
// A byte of either counts alike, so a stored (uncompressed) cabinet is half done when its files are read,
// and a compressed one rather more, its copy being shorter. The add-on's cabinet has one folder; with more,
// the bar would stand still at the end of the first one's copy until the next caught up.
#include <QtGlobal>

namespace pw {

class CabinetProgress {
public:
    // `bytesToAdd`: the sum of the sizes of the files the cabinet will hold.
    explicit CabinetProgress(qint64 bytesToAdd) : toAdd_(bytesToAdd) {}

    void BlockCompressed(quint32 uncompressedSize);
    // `copied` of the folder's `total` bytes are in the cabinet file.
    void FolderCopied(quint32 copied, quint32 total);

    // 0 to 1, never less than it was before.
    double Fraction() const { return shown_; }

private:
    void Update();

    qint64 toAdd_;
    qint64 compressed_ = 0;
    qint64 copied_ = 0;
    qint64 copyTotal_ = 0;
    bool copying_ = false;
    double shown_ = 0;
};

}  // namespace pw
