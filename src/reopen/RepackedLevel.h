#pragma once
// The level of a 7z archive that its listing leaves open, found by packing its files again: levels that
// write one dictionary still pack with their own match finder and fast bytes, so their packed data differ,
// while what 7-Zip keeps of the files (names, times) lives in the headers after them and does not matter.
#include <QList>
#include <QString>

namespace pw {

// The levels among `candidates` (0..4) whose packing of `folder` by the build's own packer gives the packed
// data of the archive `archive` (its first `packedSize` bytes after the start header). `folder` holds what
// the archive holds, and `scratch` takes a trial archive at a time. Empty when none does, or when the
// packer cannot be loaded: an archive of another 7-Zip may pack otherwise at every level.
QList<int> LevelsPackingAlike(const QString& archive, qint64 packedSize, const QString& folder,
                              const QList<int>& candidates, const QString& scratch);

}  // namespace pw
