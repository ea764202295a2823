#include "platform/FileSearch.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace pw {
namespace {

bool MatchFrom(const QString& p, qsizetype pi, const QString& n, qsizetype ni)
{
    // Iterative match with one backtrack point for the last "*": linear in practice, no recursion depth.
    qsizetype starP = -1, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == QLatin1Char('?') || p[pi].toCaseFolded() == n[ni].toCaseFolded())) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == QLatin1Char('*')) {
            starP = pi++;
            starN = ni;
        } else if (starP >= 0) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == QLatin1Char('*'))
        ++pi;
    return pi == p.size();
}

}  // namespace

bool WildcardMatch(const QString& pattern, const QString& name)
{
    if (pattern == QLatin1String("*.*") || pattern == QLatin1String("*"))
        return true;
    // A name without a dot matches a pattern ending in "." (Windows: "*." finds names with no extension),
    // and "x.*" also matches "x".
    if (MatchFrom(pattern, 0, name, 0))
        return true;
    if (!name.contains(QLatin1Char('.')))
        return MatchFrom(pattern, 0, name + QLatin1Char('.'), 0);
    return false;
}

DirListing FindEntries(const QString& folder, const QString& pattern)
{
    DirListing listing;
    const QByteArray path = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    DIR* dir = opendir(path.constData());
    if (!dir) {
        listing.error = errno;
        return listing;
    }
    while (dirent* e = readdir(dir)) {
        const QString name = QFile::decodeName(e->d_name);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        if (!WildcardMatch(pattern, name))
            continue;
        bool isDir = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            const QByteArray full = path + '/' + e->d_name;
            isDir = ::stat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        listing.entries.append({name, isDir});
    }
    closedir(dir);
    return listing;
}

void SplitMask(const QString& mask, QString* folder, QString* pattern)
{
    const qsizetype cut = std::max(mask.lastIndexOf(QLatin1Char('/')), mask.lastIndexOf(QLatin1Char('\\')));
    *folder = mask.left(cut + 1);
    *pattern = mask.mid(cut + 1);
}

bool HasWildcards(const QString& name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

}  // namespace pw
