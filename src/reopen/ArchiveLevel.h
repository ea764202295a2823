#pragma once
// Which of the five compression levels packed a 7z archive, told from what 7-Zip lists of it.
#include <QList>
#include <QString>

namespace pw {

// One file of the archive as `7z l -slt` lists it: its size, its block's "Method" ("Copy", "LZMA2:22",
// "BCJ LZMA2:22") and the size of its block's packed data (0 for the other files of a solid block).
struct PackedFile {
    qint64 size = 0;
    QString method;
    qint64 packedSize = 0;
};

// The files `7z l -slt` lists, folders left out.
QList<PackedFile> PackedFilesOfListing(const QString& listing);

struct LevelReading {
    QList<int> fitting;  // the levels (0..4) that write these methods for these sizes, lowest first
};

// The dictionary LZMA2 writes shrinks to the largest file, so small programs fit several levels; other
// methods, mixed dictionaries or a dictionary of no level fit none. The x86 filter (BCJ2 or BCJ) tells
// level 4 from those below it.
LevelReading ReadLevel(const QList<PackedFile>& files);

}  // namespace pw
