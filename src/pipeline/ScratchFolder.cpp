#include "pipeline/ScratchFolder.h"

namespace pw {
namespace {

const QString kNamePrefix = QStringLiteral("build-");

}  // namespace

ScratchFolderFailure::ScratchFolderFailure(const QString& tempDir, int error_)
    : UserError(QStringLiteral("Cannot create a folder in \"%1\". %2").arg(tempDir, SystemErrorText(error_))),
      error(error_)
{
}

ScratchFolder::ScratchFolder(const QString& tempDir) : folder_(tempDir, kNamePrefix)
{
    if (folder_.error() != 0)
        throw ScratchFolderFailure(tempDir, folder_.error());
    pending_.emplace(folder_.path());
}

bool IsScratchFolderName(const QString& name)
{
    return name.startsWith(kNamePrefix);
}

void RemoveAbandonedScratchFolders(const QString& tempDir)
{
    RemoveAbandonedFolders(tempDir, kNamePrefix);
}

}  // namespace pw
