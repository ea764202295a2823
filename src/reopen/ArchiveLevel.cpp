#include "reopen/ArchiveLevel.h"

#include "archive/sevenzip/CompressionProperties.h"


#include <algorithm>

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

// The encoder shrinks its dictionary to the smallest 2^n or 3 * 2^(n-1) that holds all the files.
qint64 WrittenDictionary(qint64 full, qint64 total)
{
    if (total >= full)
        return full;
    for (int i = 11; i <= 30; ++i) {
        if (total <= (qint64(2) << i))
            return qint64(2) << i;
        if (total <= (qint64(3) << i))
            return qint64(3) << i;
    }
    return full;
}

// "LZMA2:22" (2^22 bytes), "LZMA2:6m", "LZMA2:1536k"; 0 for anything else.
qint64 ListedDictionary(const QString& coder)
{
    const QString prefix = QStringLiteral("LZMA2:");
    if (!coder.startsWith(prefix))
        return 0;
    QString size = coder.mid(prefix.size());
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

// The coder of a block's method without the branch filter 7-Zip puts before a program's data: a filter
// takes no level's setting.
QString CompressingCoder(const QString& method)
{
    static const QStringList filters = {QStringLiteral("BCJ"), QStringLiteral("BCJ2"), QStringLiteral("ARM64"),
                                        QStringLiteral("ARM"), QStringLiteral("ARMT"), QStringLiteral("IA64"),
                                        QStringLiteral("PPC"), QStringLiteral("SPARC")};
    QStringList coders = method.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    coders.removeIf([](const QString& coder) { return filters.contains(coder); });
    return coders.size() == 1 ? coders.front() : QString();
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
    QStringList coders;
    qint64 total = 0;
    for (const PackedFile& file : files) {
        if (file.size > 0) {
            coders.append(CompressingCoder(file.method));
            total += file.size;
        }
    }
    if (std::all_of(coders.begin(), coders.end(), [](const QString& coder) { return coder == QLatin1String("Copy"); }))
        return {{SAVE}};
    LevelReading reading;
    for (const TCompressStrength strength : {FAST, NORMAL, MAXIMUM, ULTRA}) {
        const qint64 written = WrittenDictionary(FullDictionary(SevenZipLevel(strength)), total);
        if (std::all_of(coders.begin(), coders.end(), [written](const QString& coder) { return ListedDictionary(coder) == written; }))
            reading.fitting.append(strength);
    }
    return reading;
}

}  // namespace pw
