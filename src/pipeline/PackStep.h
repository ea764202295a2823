#pragma once
// The 7z packing step and the self-extracting installer made from its archive.
#include "archive/sevenzip/SevenZip.h"
#include "project/BuildInputs.h"

#include <QByteArray>

#include <functional>
#include <optional>

namespace pw {

// What the packing step tells the build driver, and asks of it, while it packs.
struct PackEvents {
    std::function<void(qint64 maxProgress)> preProgress;
    std::function<void(const QString& fileName, qint64 filePosArc, qint64 filePosFile)> progress;
    // Called at a steady pace while packing, so the window can repaint and take the user's Esc (or a
    // terminal its Ctrl+C).
    std::function<void()> waiting;
    // Asked after each `waiting`: true stops the packing.
    std::function<bool()> cancelRequested;
    // The cabinet step's: how far the cabinet has come, 0 to 1, rising, at a pace a window can repaint at.
    std::function<void(double fraction)> cabinetProgress;
};

// What an archive is for. The self-extractor's archive also carries the start file's runner program at
// its top, beside the start file, where the run command finds it; a plain archive holds the program
// folder alone.
enum class PackPurpose { PlainArchive, SelfExtractorArchive };

// Where a cabinet build keeps the self-extractor's archive and the self-extractor itself, in its scratch
// folder `scratchDir` (ending in "/"), until the cabinet is written: "files.7z" and "<outName>.exe".
QString SelfExtractorArchivePath(const QString& scratchDir);
QString SelfExtractorPath(const QString& scratchDir, const QString& outName);

// The configuration block the self-extractor reads: UTF-8, lines separated by LF CR, no final separator.
QByteArray SfxConfig(const BuildInputs& in);

// A self-extractor taken apart again: what its configuration block says, and where its 7z archive begins.
struct SelfExtractorParts {
    QString runProgram;              // the run command, empty when the block has none
    int overwriteMode = 0;
    QList<ShortcutEntry> shortcuts;
    QStringList unreadLines;         // lines SfxConfig does not write, as they are
    qsizetype archiveOffset = -1;    // -1 when no 7z archive follows the block
};
// Nothing when `exe` holds no configuration block.
std::optional<SelfExtractorParts> SplitSelfExtractor(const QByteArray& exe);

class PackStep {
public:
    // Binds the 7-Zip library; throws UserError with the library's "cannot load" message when it is
    // missing, so the program can say so instead of opening its window.
    explicit PackStep(const QStringList& libraryPlaces = SevenZipLibrary::DefaultPlaces());

    // Packs in.sourceDir into a 7z archive at `target`. True when the archive was written whole; false
    // when the writer failed (a full disk, a file it could not read, a library error): the archive is
    // then removed, and SevenZip1 tells the file it could not read or the error. Throws SilentAbort when
    // the archive file cannot be created and when the user stopped the packing, UserError when the runner
    // program is missing from in.appDir, and NameRefused, before the archive file is created, for a name
    // Windows cannot take (FolderNameCheck). `events.preProgress` comes before the archive file is made: an
    // error it throws ends the packing with nothing written.
    bool PackFolder(const BuildInputs& in, const QString& target, const PackEvents& events, PackPurpose purpose);

    // Joins the module "7zS.sfx" of in.appDir, the configuration block and the packed archive of
    // `scratchDir` into the self-extractor there. Throws UserError when a piece is missing or cannot be
    // read, FileError when the self-extractor cannot be written.
    void BuildSelfExtractor(const BuildInputs& in, const QString& outName, const QString& scratchDir);

    TSevenZip SevenZip1;
};

}  // namespace pw
