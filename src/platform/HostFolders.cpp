#include "platform/HostFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace pw {

QString ProgramFilePath()
{
    // Read from the kernel rather than from QCoreApplication so that it also answers before (or without)
    // an application object, as in the command-line front end and in tests.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString ApplicationFolder()
{
    return QFileInfo(ProgramFilePath()).absolutePath() + QLatin1Char('/');
}

QString CommonAppDataFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString DataFolder()
{
    return CommonAppDataFolder() + QStringLiteral("/Brontel/Packwright/");
}

}  // namespace pw
