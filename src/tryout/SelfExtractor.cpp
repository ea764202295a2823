#include "tryout/SelfExtractor.h"

#include "platform/TextLines.h"

#include <QFile>
#include <QSaveFile>

namespace pw {
namespace {

const QByteArray kBlockStart = QByteArrayLiteral(";!@Install@!UTF-8!");
const QByteArray kBlockEnd = QByteArrayLiteral(";!@InstallEnd@!");
// Our module writes a block of a few hundred bytes; shortcuts make it longer, never this long.
constexpr qint64 kBlockLimit = 1024 * 1024;
constexpr qint64 kChunk = 1024 * 1024;

quint32 LittleEndian(const QByteArray& bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | quint8(bytes[at + i]);
    return value;
}

bool CopyBytes(QFile& from, QIODevice& to)
{
    for (;;) {
        const QByteArray chunk = from.read(kChunk);
        if (chunk.isEmpty())
            return from.atEnd();
        if (to.write(chunk) != chunk.size())
            return false;
    }
}

}  // namespace

quint16 PeMachine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray dos = file.read(64);
    if (dos.size() < 64 || !dos.startsWith("MZ"))
        return 0;
    if (!file.seek(LittleEndian(dos, 0x3c, 4)))
        return 0;
    const QByteArray header = file.read(6);
    if (header.size() < 6 || !header.startsWith(QByteArray("PE\0\0", 4)))
        return 0;
    return quint16(LittleEndian(header, 4, 2));
}

std::optional<SelfExtractorParts> ReadSelfExtractor(const QString& path, const QByteArray& module)
{
    QFile file(path);
    if (module.isEmpty() || !file.open(QIODevice::ReadOnly) || file.read(module.size()) != module)
        return std::nullopt;
    const QByteArray head = file.read(kBlockLimit);
    const qsizetype end = head.indexOf(kBlockEnd);
    if (!head.startsWith(kBlockStart) || end < 0)
        return std::nullopt;
    SelfExtractorParts parts;
    parts.moduleSize = module.size();
    parts.block = head.left(end + kBlockEnd.size());
    parts.archiveOffset = parts.moduleSize + parts.block.size();
    return parts;
}

QString RunProgram(const QByteArray& block)
{
    const QByteArray key = QByteArrayLiteral("RunProgram=");
    for (const QByteArray& line : SplitLines(block)) {
        if (!line.startsWith(key))
            continue;
        const QByteArray value = line.mid(key.size());
        const qsizetype first = value.indexOf('"'), last = value.lastIndexOf('"');
        return QString::fromUtf8(first >= 0 && last > first ? value.mid(first + 1, last - first - 1) : value);
    }
    return {};
}

bool JoinSelfExtractor(const QString& target, const QByteArray& module, const QByteArray& block, const QString& archive)
{
    QFile source(archive);
    QSaveFile joined(target);
    return source.open(QIODevice::ReadOnly) && joined.open(QIODevice::WriteOnly)
           && joined.write(module) == module.size() && joined.write(block) == block.size() && CopyBytes(source, joined)
           && joined.commit();
}

bool CopyTail(const QString& source, qint64 offset, const QString& target)
{
    QFile from(source), to(target);
    return from.open(QIODevice::ReadOnly) && from.seek(offset) && to.open(QIODevice::WriteOnly | QIODevice::NewOnly)
           && CopyBytes(from, to);
}

}  // namespace pw
