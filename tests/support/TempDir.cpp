#include "support/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace pwtest {

TempDir::TempDir()
{
    EXPECT_TRUE(dir_.isValid());
}

QString TempDir::path(const QString& relative) const
{
    return relative.isEmpty() ? dir_.path() : dir_.path() + QLatin1Char('/') + relative;
}

QString TempDir::write(const QString& relative, const QByteArray& bytes) const
{
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << full.toStdString();
    f.write(bytes);
    return full;
}

QString TempDir::mkdir(const QString& relative) const
{
    const QString full = path(relative);
    QDir().mkpath(full);
    return full + QLatin1Char('/');
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool Exists(const QString& path)
{
    return QFileInfo::exists(path);
}

QStringList EntriesBelow(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(it.next().mid(folder.size()).remove(0, folder.endsWith('/') ? 0 : 1));
    entries.sort();
    return entries;
}

QString OnlyFolderIn(const QString& folder)
{
    const QStringList folders = QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    return folders.size() == 1 ? QDir(folder).filePath(folders[0]) + QLatin1Char('/') : QString();
}

}  // namespace pwtest
