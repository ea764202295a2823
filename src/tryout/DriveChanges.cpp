#include "tryout/DriveChanges.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace pw {
namespace {

// Wine's setup API compiles an INF into a ".pnf" beside it the first time anything loads it: a window
// opening may load the keyboard layouts' INF. That is Wine at work, not the installer, as Wine's own
// registry branch is.
bool IsWineInfCache(const QString& path)
{
    return path.startsWith(QLatin1String("windows/inf/"), Qt::CaseInsensitive) &&
           path.endsWith(QLatin1String(".pnf"), Qt::CaseInsensitive) && path.count(QLatin1Char('/')) == 2;
}

QString WindowsPath(const QString& relative)
{
    return QStringLiteral("C:\\") + QString(relative).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

}  // namespace

TreeSnapshot SnapshotTree(const QString& root)
{
    TreeSnapshot snapshot;
    const QDir base(root);
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        snapshot.insert(base.relativeFilePath(it.next()));
    return snapshot;
}

DriveChanges AddedFiles(const TreeSnapshot& before, const TreeSnapshot& after, const QString& temp,
                        const QString& ownLog)
{
    DriveChanges changes;
    const QString tempPrefix = temp + QLatin1Char('/');
    QStringList added(after.begin(), after.end());
    added.sort();
    for (const QString& path : added) {
        if (before.contains(path) || IsWineInfCache(path))
            continue;
        if (!temp.isEmpty() && path.startsWith(tempPrefix, Qt::CaseInsensitive)) {
            const QString inTemp = path.mid(tempPrefix.size());
            if (inTemp.compare(ownLog, Qt::CaseInsensitive) != 0)
                changes.temp << QString(inTemp).replace(QLatin1Char('/'), QLatin1Char('\\'));
        } else if (path.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive)) {
            changes.shortcuts << WindowsPath(path);
        } else {
            changes.files << WindowsPath(path);
        }
    }
    return changes;
}

QString TempFolder(const QString& driveC)
{
    const QDir users(driveC + QStringLiteral("/users"));
    for (const QString& user : users.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (user.compare(QLatin1String("Public"), Qt::CaseInsensitive) != 0
            && QFileInfo(users.filePath(user + QStringLiteral("/Temp"))).isDir())
            return QStringLiteral("users/%1/Temp").arg(user);
    }
    return {};
}

}  // namespace pw
