#pragma once
// Settings and event types of the 7z writer component. Enumerations and sets take one byte each; in a
// set, bit n stands for item n.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

namespace pw {

class TSevenZip;
struct GatheredItem;

enum TCompressType : std::uint8_t { LZMA, PPMD };
enum TCompressStrength : std::uint8_t { SAVE, FAST, NORMAL, MAXIMUM, ULTRA };
enum AddOptsEnum : std::uint8_t { AddRecurseDirs, AddSolid, AddStoreOnlyFilename, AddIncludeDriveLetter,
                                  AddEncryptFilename };
enum ExtractOptsEnum : std::uint8_t { ExtractNoPath, ExtractOverwrite };

using TLZMAStrength = std::uint8_t;  // 0..27, 0 = not set
using TPPMDSize = std::uint8_t;      // 2..32, 0 = not set
using TPPMDMem = std::uint8_t;       // 1..31, 0 = not set

template <class Enum>
class ByteSet {
public:
    constexpr ByteSet() = default;
    constexpr ByteSet(std::initializer_list<Enum> items)
    {
        for (Enum item : items)
            bits_ |= Bit(item);
    }
    constexpr bool contains(Enum item) const { return bits_ & Bit(item); }
    constexpr std::uint8_t bits() const { return bits_; }
    friend constexpr bool operator==(ByteSet, ByteSet) = default;

private:
    static constexpr std::uint8_t Bit(Enum item) { return std::uint8_t(1u << unsigned(item)); }
    std::uint8_t bits_ = 0;
};

using AddOpts = ByteSet<AddOptsEnum>;
using ExtractOpts = ByteSet<ExtractOptsEnum>;
static_assert(sizeof(AddOpts) == 1 && sizeof(TCompressStrength) == 1);

// A growable list of the entries to add: paths, or a folder path, "*" and a mask.
class TWideStringList {
public:
    void Append(const QString& entry) { items_.append(entry); }
    void Clear() { items_.clear(); }
    const QStringList& Items() const { return items_; }

private:
    QStringList items_;
};

// Events, each bound to its handler. Those the writer raises reach their handler on the thread that
// called Add.
using T7zListfileEvent = std::function<void(TSevenZip* Sender, const QString& Filename, qint64 Fileindex,
                                            qint64 FileSizeU, qint64 FileSizeP, qint64 Fileattr, qint64 Filecrc,
                                            const QString& Filemethod, double FileTime)>;
using T7zAddFileEvent = std::function<void(TSevenZip* Sender, const QString& Filename, qint64 Filesize)>;
using T7zExtractfileEvent = T7zAddFileEvent;
using T7zProgressEvent =
    std::function<void(TSevenZip* Sender, const QString& Filename, qint64 FilePosArc, qint64 FilePosFile)>;
using T7zPreProgressEvent = std::function<void(TSevenZip* Sender, qint64 MaxProgress)>;
// The codes OnMessage passes, in the order of their texts (TSevenZip::MessageText).
enum T7zMessageCode : qint32 {
    k7zSuccess,
    k7zFileNotFound,
    k7zDataError,
    k7zCrcError,
    k7zUnsupportedMethod,
    k7zIndexOutOfRange,
    k7zUserCanceled,
    k7zNotAnSfxArchive,
    k7zSfxModuleNotFound,
    k7zCouldNotCreateSfx,
    k7zNoFilesToAdd,
    k7zCouldNotCreateFile,
};
using T7zMessageEvent =
    std::function<void(TSevenZip* Sender, qint32 ErrCode, const QByteArray& Message, const QString& Filename)>;
using T7zSetNewNameEvent = std::function<void(TSevenZip* Sender, std::uint32_t FileIndex, QString& OldFileName)>;
using T7zExtractOverwrite = std::function<void(TSevenZip* Sender, const QString& FileName, bool& DoOverwrite)>;
using TOpenVolume = std::function<void(QString& arcFileName, bool Removable, bool& Cancel)>;
// Not among the stored events: raised on the calling thread at a steady pace while Add runs, so that a
// window can repaint and take the user's request to stop (which sets CancelRequested).
using T7zWaitingEvent = std::function<void(TSevenZip* Sender)>;
// Not among the stored events: raised once the items are gathered, before the archive file is created,
// so that a handler can look at every item and stop Add by throwing, with nothing written.
using T7zGatheredEvent = std::function<void(TSevenZip* Sender, const std::vector<GatheredItem>& Items)>;

}  // namespace pw
