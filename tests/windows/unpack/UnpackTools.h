#pragma once
// Helpers of the 7z reader's tests: extraction into memory through a recording sink, archives put
// together byte by byte (with an uncompressed header, so that any field can be given any value), and a
// folder of every kind of content 7-Zip chooses a different filter for.
#include "SzArchive.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace pwtest {

struct RecordedItem {
    QString path;  // as the reader gives it, '\\' between components
    bool directory = false;
    quint64 size = 0;
    std::optional<quint64> modified;
    std::optional<quint32> attributes;
    QByteArray data;  // or its last bytes, for ExtractTails
    quint64 written = 0;
};

struct Extraction {
    SzResult result = UNPACK_OK;
    QString message;
    std::vector<RecordedItem> items;
    size_t peakMemory = 0;  // most bytes the reader held at once
};

// Opens and extracts archive bytes in memory. Allocations beyond memoryLimit fail as a host out of
// memory would.
Extraction ExtractBytes(const QByteArray& archive, size_t memoryLimit = size_t(1) << 31);
// The same for an archive made of head, `hole` zero bytes and tail (a huge archive that takes no room),
// keeping only the last tailSize bytes of each item's data.
Extraction ExtractWithHole(const QByteArray& head, quint64 hole, const QByteArray& tail, qsizetype tailSize);

// Extracts a file with the Linux extractor's code into folder.
Extraction ExtractFile(const QString& archive, const QString& folder);

// An item of an archive put together by HandMadeArchive: one folder per file with data, one coder.
struct HandItem {
    HandItem(QString itemName = {}, QByteArray packedBytes = {}) : name(std::move(itemName)), packed(std::move(packedBytes)) {}
    QString name;
    QByteArray packed;                 // the folder's packed stream
    std::optional<quint64> packedSize; // when packed is not all of it (the rest is written by the caller)
    std::optional<quint64> unpackSize; // the packed size when not given
    std::optional<quint32> crc;        // CRC32 of the packed bytes when not given; -1 for none
    QByteArray coder = QByteArray(1, '\0');  // method id bytes (Copy)
    QByteArray properties;
    bool directory = false, emptyFile = false, anti = false;
    std::optional<quint32> attributes;
    std::optional<quint64> modified;
};

// The uncompressed header for items whose packed streams follow the start header in order, plus any
// bytes of extraProperty added to the files' properties (to check that unknown ones are skipped).
QByteArray HandMadeHeader(const std::vector<HandItem>& items, const QByteArray& extraProperty = {});
// The 32-byte start header for a header at nextOffset bytes after it.
QByteArray StartHeader(quint64 nextOffset, const QByteArray& header);
QByteArray HandMadeArchive(const std::vector<HandItem>& items, const QByteArray& extraProperty = {});

quint32 Crc32(const QByteArray& bytes);

// A folder with PE files for each machine 7-Zip has a filter for, ELF programs, a WAV file, text, noise,
// empty files and folders, names outside the BMP. Returns its path.
QString MakeMethodCorpus(const QString& parent);
// Method names ("BCJ2", "LZMA2", "ARM64", ...) that "7z l -slt" lists for the archive's files.
std::set<QString> ListedMethods(const QString& archive);

// Path (with '/') → contents ("<dir>" for folders) and modification time in ms, of everything below folder.
std::map<QString, std::pair<QByteArray, qint64>> ReadTreeWithTimes(const QString& folder);

}  // namespace pwtest
