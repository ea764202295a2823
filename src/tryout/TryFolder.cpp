#include "tryout/TryFolder.h"

#include "platform/Errors.h"

#include <QDir>
#include <QFile>

namespace pw {
namespace {

const QString kNamePrefix = QStringLiteral("packwright-try-");

}  // namespace

TryFolder::TryFolder(const QString& parent)
{
    const QString folder = (parent.isEmpty() ? QDir::tempPath() : parent) + QLatin1Char('/');
    QDir().mkpath(folder);  // a folder that cannot be made is named by the error below
    RemoveAbandonedFolders(folder, kNamePrefix);
    folder_.emplace(folder, kNamePrefix);
    if (folder_->error() != 0)
        error_ = SystemErrorText(folder_->error());
    else
        pending_.emplace(folder_->path());
}

QByteArray ReadWholeFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace pw
