#pragma once
// The 7z packing step and the self-extracting installer made from its archive.
#include "archive/sevenzip/SevenZip.h"
#include "pipeline/BuildInputs.h"

#include <QByteArray>

#include <functional>

namespace pw {

// What the packing step tells the build driver, and asks of it, while it packs.
struct PackEvents {
    std::function<void(qint64 maxProgress)> preProgress;
    std::function<void(const QString& fileName, qint64 filePosArc, qint64 filePosFile)> progress;
    // Called at a steady pace while packing, so the window can repaint and take a click on its cancel button.
    std::function<void()> waiting;
    // Asked after each `waiting`: true stops the packing.
    std::function<bool()> cancelRequested;
};

// The configuration block the self-extractor reads: UTF-8, lines separated by LF CR, no final separator.
QByteArray SfxConfig(const BuildInputs& in);

class PackStep {
public:
    // Binds the 7-Zip library; throws UserError with the library's "cannot load" message when it is
    // missing, so the program can say so instead of opening its window.
    explicit PackStep(const QStringList& libraryPlaces = SevenZipLibrary::DefaultPlaces());

    // Packs in.sourceDir (and, for an ".inf" start file, a copy of its runner) into a 7z archive at
    // `target`. Reports nothing itself: the driver tests whether `target` exists, so an archive that the
    // writer could not complete, or that misses bytes of a file it could not read, is removed. Throws
    // SilentAbort when the archive file cannot be created and when the user stopped the packing.
    void PackFolder(const BuildInputs& in, const QString& target, const PackEvents& events);

    // Joins "7zS.sfx", the configuration block and temp/files.7z into temp/<outName>.exe. False when the
    // copy of "7zS.sfx" could not be made; throws UserError when the pieces cannot be read or written.
    bool BuildSelfExtractor(const BuildInputs& in, const QString& outName);

    TSevenZip SevenZip1;
};

}  // namespace pw
