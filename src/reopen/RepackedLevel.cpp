#include "reopen/RepackedLevel.h"

#include "pipeline/PackStep.h"
#include "platform/Errors.h"

#include <QFile>

#include <algorithm>
#include <optional>
#include <utility>

namespace pw {
namespace {

// The signature header: the packed data begin after it, the headers follow them.
constexpr qint64 kStartHeaderSize = 32;

// How much packed data decides a trial first. The levels left to tell apart (the x86 filter sets level 4
// apart from the others) differ in their match finder (hash chains at level 1, binary trees above it) and in
// their fast bytes (32 up to level 2, 64 at level 3), and either shows in the first chunk LZMA2 writes of
// anything that compresses: a trial alike this far, and alone in it, is the level, and packing on would only
// cost time. Data that does not compress is stored alike at every level, though, and installers often
// begin with megabytes of it.
constexpr qint64 kDecidingBytes = qint64(4) << 20;
constexpr qint64 kReadingBytes = qint64(1) << 20;

// A trial archive compared with the original's packed data while the packer writes it: the writer puts
// each piece where it stays, in order, so what the file holds can be read as it grows.
class GrowingComparison {
public:
    GrowingComparison(QFile& original, const QString& trial, qint64 length)
        : original_(original), trial_(trial), length_(length)
    {
    }

    // Compares what has been written since the last call; true once the answer is known.
    bool Decided()
    {
        // Unbuffered: each call reads the file as it is now, not what an earlier read kept.
        if (!trial_.isOpen() && !trial_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return false;  // not created yet
        while (!differs_ && compared_ < length_) {
            const qint64 at = kStartHeaderSize + compared_;
            const QByteArray more =
                trial_.seek(at) ? trial_.read(std::min(length_ - compared_, kReadingBytes)) : QByteArray();
            if (more.isEmpty())
                break;
            differs_ = !original_.seek(at) || original_.read(more.size()) != more;
            compared_ += more.size();
        }
        return differs_ || compared_ == length_;
    }

    bool Alike() const { return !differs_ && compared_ == length_; }

private:
    QFile& original_;
    QFile trial_;
    const qint64 length_;
    qint64 compared_ = 0;
    bool differs_ = false;
};

// Packs `folder` at `level` into `trial`, as a build would, until its first `length` bytes of packed data
// tell whether they are those of `original`.
bool PacksAlike(PackStep& packer, QFile& original, const QString& folder, int level, qint64 length,
                const QString& trial)
{
    QFile::remove(trial);
    BuildInputs in;
    in.sourceDir = folder;
    in.compressionLevel = level;
    GrowingComparison comparison(original, trial, length);
    PackEvents events;
    // Asked at the writer's steady pace: the packing stops as soon as the trial is decided either way.
    events.cancelRequested = [&comparison] { return comparison.Decided(); };
    bool whole = false;
    try {
        whole = packer.PackFolder(in, trial, events, PackPurpose::PlainArchive);
    } catch (const SilentAbort&) {
        // stopped as decided, or no trial archive could be made: Alike tells which
    } catch (const UserError&) {
        // a name the build refuses: no build made this archive
    }
    if (whole)
        comparison.Decided();
    QFile::remove(trial);
    return comparison.Alike();
}

}  // namespace

QList<int> LevelsPackingAlike(const QString& archive, qint64 packedSize, const QString& folder,
                              const QList<int>& candidates, const QString& scratch)
{
    QFile original(archive);
    if (packedSize <= 0 || !original.open(QIODevice::ReadOnly) || original.size() < kStartHeaderSize + packedSize)
        return {};
    std::optional<PackStep> packer;
    try {
        packer.emplace();
    } catch (const UserError&) {
        return {};
    }
    // The thread count the library is given (reproducible builds fix it) cuts LZMA2 data into blocks of at
    // least four dictionaries; with the dictionary shrunk to the largest file, as it is whenever levels are
    // left to tell apart, each file is one block however many threads pack it.
    const QString trial = scratch + QStringLiteral("/trial.7z");
    QList<int> alike = candidates;
    qint64 length = std::min(packedSize, kDecidingBytes);
    for (bool firstRound = true;; firstRound = false) {
        // Levels still alike after a round were told apart by nothing but stored data: they are tried on four
        // times as much. The last one left, when every other one differed further on, needs no trial.
        const QList<int> trying = std::exchange(alike, {});
        for (qsizetype i = 0; i < trying.size(); ++i) {
            const bool lastLeft = !firstRound && alike.isEmpty() && i + 1 == trying.size();
            if (lastLeft || PacksAlike(*packer, original, folder, trying[i], length, trial))
                alike.append(trying[i]);
        }
        if (alike.size() < 2 || length == packedSize)
            return alike;
        length = std::min(packedSize, length * 4);
    }
}

}  // namespace pw
