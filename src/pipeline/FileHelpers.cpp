#include "pipeline/FileHelpers.h"

#include "platform/FileNames.h"
#include "platform/FileSearch.h"
#include "platform/PartialFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace pw {

QString BareFileName(const QString& path)
{
    const QString name = FileNamePart(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

void WriteThroughPartialFile(const QString& target, const std::function<void(const QString& partial)>& write)
{
    const QString partial = PartialFileName(target);
    try {
        write(partial);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    if (QFileInfo::exists(partial))
        GivePartialFileItsName(partial, target);
}

void CopyFileData(const QString& source, const QString& dest)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return;
    QFile out(dest);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    bool ok = true;
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        if (out.write(buffer.constData(), n) != n) {
            ok = false;
            break;
        }
    }
    if (!out.flush())
        ok = false;
    out.close();
    if (!ok)
        QFile::remove(dest);
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
    QStringList names;
    ListFiles(mask, names);
    QString folder, pattern;
    SplitMask(mask, &folder, &pattern);
    for (const QString& name : names) {
        if (!QFileInfo(folder + name).isDir())
            QFile::remove(folder + name);
    }
    return !names.isEmpty();
}

}  // namespace pw
