#include "pipeline/FileHelpers.h"

#include "pipeline/PendingFiles.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/FileSearch.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace pw {

QString BareFileName(const QString& path)
{
    const QString name = FileNamePart(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

bool WriteThroughPartialFile(const QString& target, const std::function<bool(const QString& partial)>& write)
{
    const QFileInfo info(target);
    const QString partial = info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".partial");
    const PendingFile pending(partial);
    bool made = false;
    try {
        made = write(partial);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    if (!made || !QFileInfo::exists(partial)) {
        QFile::remove(partial);
        return false;
    }
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        QFile::remove(partial);
        throw CannotCreateFile(target, SystemErrorText(error));
    }
    return true;
}

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

}  // namespace pw
