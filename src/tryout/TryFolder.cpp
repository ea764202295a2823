#include "tryout/TryFolder.h"

#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace pw {
namespace {

const QString kNamePrefix = QStringLiteral("packwright-try-");

// Ends this user's processes that work in `folder`: a try's programs end with it, but one that escaped
// (started where the system could not tie it to the try) would otherwise see its prefix removed under it.
// Wine's programs name the prefix in their environment, Xvfb its authority file on its command line.
void EndProgramsIn(const QString& folder)
{
    const QByteArray prefix = "WINEPREFIX=" + QFile::encodeName(folder);
    const QByteArray authority = QFile::encodeName(folder + QStringLiteral("xauthority"));
    const QDir processes(QStringLiteral("/proc"));
    for (const QString& id : processes.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const pid_t pid = pid_t(id.toInt(&isNumber));
        if (!isNumber || pid == ::getpid() || QFileInfo(processes.filePath(id)).ownerId() != ::getuid())
            continue;
        const QList<QByteArray> environment =
            ReadWholeFile(processes.filePath(id) + QStringLiteral("/environ")).split('\0');
        if (std::any_of(environment.begin(), environment.end(),
                        [&](const QByteArray& entry) { return entry.startsWith(prefix); })
            || ReadWholeFile(processes.filePath(id) + QStringLiteral("/cmdline")).contains(authority))
            ::kill(pid, SIGKILL);
    }
}

}  // namespace

TryFolder::TryFolder(const QString& parent)
{
    const QString folder = (parent.isEmpty() ? QDir::tempPath() : parent) + QLatin1Char('/');
    QDir().mkpath(folder);  // a folder that cannot be made is named by the error below
    RemoveAbandonedFolders(folder, kNamePrefix, EndProgramsIn);
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
