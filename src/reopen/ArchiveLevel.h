#pragma once
// Which of the five compression levels packed a 7z archive, told from what 7-Zip lists of it.
#include <QList>
#include <QString>

namespace pw {

// One file of the archive as `7z l -slt` lists it: its size and its block's "Method" ("Copy", "LZMA2:22",
// "BCJ LZMA2:12").
struct PackedFile {
    qint64 size = 0;
    QString method;
};

// The files `7z l -slt` lists, folders left out.
QList<PackedFile> PackedFilesOfListing(const QString& listing);

struct LevelReading {
    QList<int> fitting;  // the levels (0..4) that write these methods for these sizes, lowest first
};

// 7-Zip packs each kind of file in a block of its own (programs behind their branch filter), all with the
// dictionary of the level shrunk to the size of all the files together, so small programs fit several
// levels; other methods, or a dictionary of no level, fit none.
LevelReading ReadLevel(const QList<PackedFile>& files);

}  // namespace pw
