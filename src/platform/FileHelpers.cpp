#include "platform/FileHelpers.h"

#include "platform/FileSearch.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>

namespace pw {

void ListFiles(const QString& mask, QStringList& list)
{
    QString folder, pattern;
    SplitMask(mask, &folder, &pattern);
    for (const DirEntry& e : FindEntries(folder, pattern).entries) {
        if (!e.name.startsWith(QLatin1Char('.')))
            list.append(e.name);
    }
    std::sort(list.begin(), list.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

bool DeleteFiles(const QString& mask)
{
    QString folder, pattern;
    SplitMask(mask, &folder, &pattern);
    const QList<DirEntry> entries = FindEntries(folder, pattern).entries;
    for (const DirEntry& e : entries) {
        if (!e.isDir)
            QFile::remove(folder + e.name);
    }
    return !entries.isEmpty();
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

}  // namespace pw
