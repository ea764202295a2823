#include "tryout/TryFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

namespace pw {

TryFolder::TryFolder(const QString& parent)
{
    const QString folder = parent.isEmpty() ? QDir::tempPath() : parent;
    QDir().mkpath(folder);
    QTemporaryDir dir(folder + QStringLiteral("/packwright-try-XXXXXX"));
    if (!dir.isValid()) {
        error_ = dir.errorString();
        return;
    }
    dir.setAutoRemove(false);
    path_ = dir.path();
}

TryFolder::~TryFolder()
{
    if (isValid())
        RemoveTree(path_);
}

bool RemoveTree(const QString& path)
{
    if (QDir(path).removeRecursively())
        return true;
    const auto writable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QFile::setPermissions(path, QFile::permissions(path) | writable);
    QDirIterator it(path, QDir::Dirs | QDir::NoSymLinks | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString folder = it.next();
        QFile::setPermissions(folder, QFile::permissions(folder) | writable);
    }
    return QDir(path).removeRecursively();
}

QByteArray ReadWholeFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace pw
