#pragma once
// How large the self-extractor of a compacted add-on may grow. The add-on is a single cabinet holding one
// stored folder, the self-extractor and then the entries file: were they larger than one cabinet can be,
// the writer would go on in a second cabinet, which Windows setup never reads. So a build that would
// need one is refused, before the self-extractor is joined and, when the files alone already say so,
// before they are packed.
#include "project/BuildInputs.h"
#include "pipeline/BuildTexts.h"
#include "platform/Errors.h"

namespace pw {

class InstallerTooBig : public UserError {
public:
    InstallerTooBig(const QString& name, qint64 size, qint64 limit);
    QString name;  // the self-extractor's file name
    qint64 size;   // what it would take at least
    qint64 limit;  // the most it may take
};

// The reason of `e` in the words of `texts`.
QString InstallerTooBigText(const InstallerTooBig& e, const BuildTexts& texts);

class InstallerLimit {
public:
    // Reads the size of the module "7zS.sfx" of in.appDir (which must be there).
    InstallerLimit(const BuildInputs& in, const QString& outName);

    // The largest self-extractor the add-on's cabinet holds beside the entries file of this build.
    qint64 Largest() const { return largest_; }

    // Throws InstallerTooBig when a self-extractor around an archive of `archiveBytes` would not fit.
    void RequireArchive(qint64 archiveBytes) const;
    // At compression level 0 the archive stores every byte of the files it packs: throws InstallerTooBig
    // when `filesBytes` alone already leave no room. Does nothing at the other levels.
    void RequireFilesToPack(qint64 filesBytes) const;

private:
    QString name_;
    qint64 aroundArchive_;  // the module and the configuration block
    qint64 largest_;
    bool storesFiles_;
};

}  // namespace pw
