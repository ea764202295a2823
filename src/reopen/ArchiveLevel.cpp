#include "reopen/ArchiveLevel.h"

#include "archive/sevenzip/CompressionProperties.h"

#include <QSet>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace pw {
namespace {

// The dictionary 7-Zip's LZMA2 takes at each of its levels the build uses, before it shrinks it.
qint64 FullDictionary(std::uint32_t sevenZipLevel)
{
    switch (sevenZipLevel) {
    case 3:
        return qint64(4) << 20;
    case 5:
        return qint64(16) << 20;
    case 7:
        return qint64(32) << 20;
    default:
        return qint64(64) << 20;
    }
}

// The encoder shrinks its dictionary to the smallest 2^n or 3 * 2^(n-1) that holds the largest file.
qint64 WrittenDictionary(qint64 full, qint64 largest)
{
    if (largest >= full)
        return full;
    for (int i = 11; i <= 30; ++i) {
        if (largest <= (qint64(2) << i))
            return qint64(2) << i;
        if (largest <= (qint64(3) << i))
            return qint64(3) << i;
    }
    return full;
}

// "LZMA2:22" (2^22 bytes), "LZMA2:6m", "LZMA2:1536k"; 0 for anything else.
qint64 ListedDictionary(const QString& method)
{
    const QString prefix = QStringLiteral("LZMA2:");
    if (!method.startsWith(prefix))
        return 0;
    QString size = method.mid(prefix.size());
    int shift = 0;
    if (size.endsWith(QLatin1Char('k')) || size.endsWith(QLatin1Char('m')))
        shift = size.endsWith(QLatin1Char('k')) ? 10 : 20;
    if (shift != 0)
        size.chop(1);
    bool ok = false;
    const qint64 number = size.toLongLong(&ok);
    if (!ok || number <= 0 || (shift == 0 && number > 40))
        return 0;
    return shift == 0 ? qint64(1) << number : number << shift;
}

// The filters 7-Zip puts before LZMA2 for code of other processors, and for sound (Delta) it finds in a file.
bool OtherFilter(const QString& coder)
{
    static const QStringList kFilters = {QStringLiteral("ARM"), QStringLiteral("ARMT"), QStringLiteral("ARM64"),
                                         QStringLiteral("IA64"), QStringLiteral("PPC"), QStringLiteral("SPARC")};
    return kFilters.contains(coder) || coder.startsWith(QLatin1String("Delta:"));
}

// A file's coders as listed, "BCJ2 LZMA2:23 LZMA:20:lc0:lp2 LZMA:20:lc0:lp2": the dictionary of its one
// LZMA2 coder and the x86 filter before it, if any; nothing for coders no level writes. (BCJ2 keeps its
// calls and jumps in streams of their own, packed by plain LZMA.)
struct Coders {
    qint64 dictionary = 0;
    QString x86Filter;
};

std::optional<Coders> ReadCoders(const QString& method)
{
    Coders coders;
    const QStringList names = method.simplified().split(QLatin1Char(' '));
    const bool bcj2 = names.value(0) == QLatin1String("BCJ2");
    for (const QString& coder : names) {
        if (coder.startsWith(QLatin1String("LZMA2:")) && coders.dictionary == 0)
            coders.dictionary = ListedDictionary(coder);
        else if (coder == QLatin1String("BCJ") || coder == QLatin1String("BCJ2"))
            coders.x86Filter = coder;
        else if (!OtherFilter(coder) && !(bcj2 && coder.startsWith(QLatin1String("LZMA:"))))
            return std::nullopt;
    }
    if (coders.dictionary == 0)
        return std::nullopt;
    return coders;
}

}  // namespace

QList<PackedFile> PackedFilesOfListing(const QString& listing)
{
    QList<PackedFile> files;
    PackedFile current;
    bool folder = false;
    // Each item is a block of "Key = value" lines ended by an empty line; the archive's own block comes first
    // and has no "Size".
    const auto close = [&] {
        if (!folder && !current.method.isEmpty())
            files.append(current);
        current = {};
        folder = false;
    };
    for (const QString& line : listing.split(QLatin1Char('\n'))) {
        const QString text = line.trimmed();
        if (text.isEmpty())
            close();
        else if (text.startsWith(QLatin1String("Size = ")))
            current.size = text.mid(7).toLongLong();
        else if (text.startsWith(QLatin1String("Packed Size = ")))
            current.packedSize = text.mid(14).toLongLong();
        else if (text.startsWith(QLatin1String("Method = ")))
            current.method = text.mid(9);
        else if (text.startsWith(QLatin1String("Folder = +")))
            folder = true;
    }
    close();
    return files;
}

LevelReading ReadLevel(const QList<PackedFile>& files)
{
    QSet<QString> methods;
    qint64 largest = 0;
    for (const PackedFile& file : files) {
        if (file.size > 0) {
            methods.insert(file.method);
            largest = std::max(largest, file.size);
        }
    }
    if (methods.isEmpty() || methods == QSet<QString>{QStringLiteral("Copy")})
        return {{SAVE}};
    // Every file has its own coders, but one dictionary, shrunk to the largest file.
    QSet<qint64> dictionaries;
    QSet<QString> x86Filters;
    for (const QString& method : methods) {
        const std::optional<Coders> coders = ReadCoders(method);
        dictionaries.insert(coders ? coders->dictionary : 0);
        if (coders && !coders->x86Filter.isEmpty())
            x86Filters.insert(coders->x86Filter);
    }
    LevelReading reading;
    if (dictionaries.size() != 1 || dictionaries.contains(0))
        return reading;
    const qint64 dictionary = *dictionaries.begin();
    // 7-Zip puts x86 code through BCJ2 at its level 9 alone, the build's ultra, and through BCJ below it.
    for (const TCompressStrength strength : {FAST, NORMAL, MAXIMUM, ULTRA}) {
        const QString x86Filter = strength == ULTRA ? QStringLiteral("BCJ2") : QStringLiteral("BCJ");
        if (WrittenDictionary(FullDictionary(SevenZipLevel(strength)), largest) == dictionary
            && (x86Filters.isEmpty() || x86Filters == QSet<QString>{x86Filter}))
            reading.fitting.append(strength);
    }
    return reading;
}

}  // namespace pw
