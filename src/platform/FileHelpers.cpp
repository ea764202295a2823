#include "platform/FileHelpers.h"

#include "platform/FileSearch.h"

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

}  // namespace pw
