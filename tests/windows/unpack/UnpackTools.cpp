#include "UnpackTools.h"

#include "ArchiveTools.h"
#include "PosixExtract.h"
#include "support/TempDir.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace pwtest {

namespace {

// The archive's bytes: head, then `hole` zero bytes, then tail; and the memory the reader holds, counted.
struct MemoryHost {
    const QByteArray& head;
    quint64 hole;
    const QByteArray& tail;
    size_t limit, current = 0, peak = 0;
};

SzResult ReadAt(void* context, uint64_t offset, void* buffer, size_t size)
{
    const auto* host = static_cast<MemoryHost*>(context);
    const quint64 total = quint64(host->head.size()) + host->hole + quint64(host->tail.size());
    if (offset > total || size > total - offset)
        return UNPACK_ERROR_READ;
    const quint64 headEnd = quint64(host->head.size()), holeEnd = headEnd + host->hole;
    for (auto* out = static_cast<char*>(buffer); size > 0;) {
        const quint64 end = offset < headEnd ? headEnd : offset < holeEnd ? holeEnd : total;
        const size_t n = size_t(std::min<quint64>(size, end - offset));
        if (offset < headEnd)
            std::memcpy(out, host->head.constData() + offset, n);
        else if (offset < holeEnd)
            std::memset(out, 0, n);
        else
            std::memcpy(out, host->tail.constData() + (offset - holeEnd), n);
        out += n, offset += n, size -= n;
    }
    return UNPACK_OK;
}

// Each block carries its size in front, so that the host can count what is held.
void* Allocate(void* context, size_t size)
{
    auto* host = static_cast<MemoryHost*>(context);
    if (size > host->limit - host->current)
        return nullptr;
    auto* block = static_cast<size_t*>(std::malloc(size + sizeof(max_align_t)));
    if (block == nullptr)
        return nullptr;
    *block = size;
    host->current += size;
    host->peak = std::max(host->peak, host->current);
    return reinterpret_cast<char*>(block) + sizeof(max_align_t);
}

void Release(void* context, void* address)
{
    if (address == nullptr)
        return;
    auto* block = reinterpret_cast<size_t*>(static_cast<char*>(address) - sizeof(max_align_t));
    static_cast<MemoryHost*>(context)->current -= *block;
    std::free(block);
}

struct Recording {
    std::vector<RecordedItem> items;
    qsizetype tailSize;
};

SzResult Begin(void* context, const SzItem* item, void** file)
{
    auto* items = &static_cast<Recording*>(context)->items;
    RecordedItem r;
    r.path = QString::fromUtf16(reinterpret_cast<const char16_t*>(item->path), item->pathLength);
    r.directory = item->isDirectory != 0;
    r.size = item->size;
    if (item->hasModified)
        r.modified = item->modified;
    if (item->hasAttributes)
        r.attributes = item->attributes;
    items->push_back(r);
    *file = reinterpret_cast<void*>(items->size());
    return UNPACK_OK;
}

SzResult Write(void* context, void* file, const void* data, size_t size)
{
    auto* recording = static_cast<Recording*>(context);
    RecordedItem& item = recording->items[reinterpret_cast<size_t>(file) - 1];
    const qsizetype keep = std::min(qsizetype(size), recording->tailSize);
    item.data.append(static_cast<const char*>(data) + size - size_t(keep), keep);
    if (item.data.size() > recording->tailSize)
        item.data.remove(0, item.data.size() - recording->tailSize);
    item.written += size;
    return UNPACK_OK;
}

SzResult End(void*, void*, const SzItem*, SzResult result)
{
    return result;
}

QByteArray Number(quint64 value)
{
    QByteArray out;
    for (int n = 0; n < 8; ++n) {
        if ((value >> (8 * n)) < (quint64(1) << (7 - n))) {
            out += char(((0xFF00 >> n) & 0xFF) | (value >> (8 * n)));
            for (int i = 0; i < n; ++i)
                out += char(value >> (8 * i));
            return out;
        }
    }
    out += char(0xFF);
    for (int i = 0; i < 8; ++i)
        out += char(value >> (8 * i));
    return out;
}

QByteArray Fixed(quint64 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += char(value >> (8 * i));
    return out;
}

QByteArray Bits(const std::vector<bool>& bits)
{
    QByteArray out((qsizetype(bits.size()) + 7) / 8, '\0');
    for (size_t i = 0; i < bits.size(); ++i)
        if (bits[i])
            out[qsizetype(i / 8)] = char(out[qsizetype(i / 8)] | (0x80 >> (i % 8)));
    return out;
}

QByteArray Property(int id, const QByteArray& data)
{
    return char(id) + Number(quint64(data.size())) + data;
}

// "all defined" or a bit vector, then the values, for attributes and times
QByteArray Defined(const std::vector<HandItem>& items, bool time)
{
    std::vector<bool> defined;
    QByteArray values;
    for (const HandItem& item : items) {
        defined.push_back(time ? item.modified.has_value() : item.attributes.has_value());
        if (time && item.modified)
            values += Fixed(*item.modified, 8);
        if (!time && item.attributes)
            values += Fixed(*item.attributes, 4);
    }
    if (values.isEmpty())
        return {};
    const bool all = std::find(defined.begin(), defined.end(), false) == defined.end();
    return (all ? QByteArray(1, '\1') : '\0' + Bits(defined)) + '\0' + values;
}

}  // namespace

quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

namespace {

Extraction Extract(MemoryHost& memory, quint64 size, qsizetype tailSize)
{
    Extraction extraction;
    Recording recording{{}, tailSize};
    const SzHost host{&memory, ReadAt, Allocate, Release};
    const SzSink sink{&recording, Begin, Write, End};
    SzArchive* opened = nullptr;
    extraction.result = SzArchive_Open(&host, size, &opened);
    if (extraction.result == UNPACK_OK)
        extraction.result = SzArchive_Extract(opened, &sink);
    if (opened != nullptr)
        extraction.message = QString::fromLatin1(SzArchive_LastMessage(opened));
    SzArchive_Close(opened);
    extraction.peakMemory = memory.peak;
    extraction.items = std::move(recording.items);
    EXPECT_EQ(memory.current, 0u) << "the reader left memory behind";
    return extraction;
}

}  // namespace

Extraction ExtractBytes(const QByteArray& archive, size_t memoryLimit)
{
    const QByteArray none;
    MemoryHost memory{archive, 0, none, memoryLimit};
    return Extract(memory, quint64(archive.size()), std::numeric_limits<qsizetype>::max());
}

Extraction ExtractWithHole(const QByteArray& head, quint64 hole, const QByteArray& tail, qsizetype tailSize)
{
    MemoryHost memory{head, hole, tail, size_t(1) << 31};
    return Extract(memory, quint64(head.size()) + hole + quint64(tail.size()), tailSize);
}

Extraction ExtractFile(const QString& archive, const QString& folder)
{
    Extraction extraction;
    char message[512];
    QDir().mkpath(folder);
    extraction.result = PwExtractArchive(QFile::encodeName(archive).constData(), QFile::encodeName(folder).constData(),
                                         message, sizeof message);
    extraction.message = QString::fromUtf8(message);
    return extraction;
}

QByteArray HandMadeHeader(const std::vector<HandItem>& items, const QByteArray& extraProperty)
{
    QByteArray streams, folders, sizes, crcs, files;
    std::vector<bool> crcDefined, emptyStream, emptyFile, anti;
    int numFolders = 0;
    for (const HandItem& item : items) {
        const bool empty = item.directory || item.emptyFile || item.anti;
        emptyStream.push_back(empty);
        if (empty) {
            emptyFile.push_back(item.emptyFile);
            anti.push_back(item.anti);
            continue;
        }
        ++numFolders;
        const quint64 packedSize = item.packedSize.value_or(quint64(item.packed.size()));
        streams += Number(packedSize);
        folders += '\1';  // one coder
        folders += char(item.coder.size() | (item.properties.isEmpty() ? 0 : 0x20));
        folders += item.coder;
        if (!item.properties.isEmpty())
            folders += Number(quint64(item.properties.size())) + item.properties;
        sizes += Number(item.unpackSize.value_or(packedSize));
        const quint32 crc = item.crc.value_or(Crc32(item.packed));
        crcDefined.push_back(crc != 0xFFFFFFFFu || !item.crc);
        if (crcDefined.back())
            crcs += Fixed(crc, 4);
    }
    QByteArray header("\x01", 1);
    if (numFolders > 0) {
        header += '\x04';
        header += '\x06' + Number(0) + Number(quint64(numFolders)) + '\x09' + streams + '\0';
        header += '\x07' + QByteArray("\x0B", 1) + Number(quint64(numFolders)) + '\0' + folders + '\x0C' + sizes;
        const bool allCrcs = std::find(crcDefined.begin(), crcDefined.end(), false) == crcDefined.end();
        header += '\x0A' + (allCrcs ? QByteArray(1, '\1') : '\0' + Bits(crcDefined)) + crcs + '\0';
        header += '\0';
    }
    header += '\x05' + Number(quint64(items.size()));
    if (std::find(emptyStream.begin(), emptyStream.end(), true) != emptyStream.end()) {
        header += Property(0x0E, Bits(emptyStream));
        header += Property(0x0F, Bits(emptyFile));
        if (std::find(anti.begin(), anti.end(), true) != anti.end())
            header += Property(0x10, Bits(anti));
    }
    header += extraProperty;
    QByteArray names(1, '\0');
    for (const HandItem& item : items)
        names += QByteArray(reinterpret_cast<const char*>(item.name.utf16()), item.name.size() * 2) + QByteArray(2, '\0');
    header += Property(0x11, names);
    if (const QByteArray times = Defined(items, true); !times.isEmpty())
        header += Property(0x14, times);
    if (const QByteArray attributes = Defined(items, false); !attributes.isEmpty())
        header += Property(0x15, attributes);
    header += '\0';
    header += '\0';
    return header;
}

QByteArray StartHeader(quint64 nextOffset, const QByteArray& header)
{
    const QByteArray tail = Fixed(nextOffset, 8) + Fixed(quint64(header.size()), 8) + Fixed(Crc32(header), 4);
    return QByteArray("7z\xBC\xAF\x27\x1C\x00\x04", 8) + Fixed(Crc32(tail), 4) + tail;
}

QByteArray HandMadeArchive(const std::vector<HandItem>& items, const QByteArray& extraProperty)
{
    QByteArray packed;
    for (const HandItem& item : items)
        if (!item.directory && !item.emptyFile && !item.anti)
            packed += item.packed;
    const QByteArray header = HandMadeHeader(items, extraProperty);
    return StartHeader(quint64(packed.size()), header) + packed + header;
}

namespace {

// x86-like code: calls, conditional jumps and plain instructions.
QByteArray Code(QRandomGenerator& random, int size)
{
    QByteArray code;
    while (code.size() < size) {
        const quint32 kind = random.bounded(10);
        const qint32 target = qint32(random.bounded(200000)) - 100000;
        if (kind < 2)
            code += '\xE8' + Fixed(quint32(target), 4);
        else if (kind < 3)
            code += QByteArray("\x0F\x85", 2) + Fixed(quint32(target / 300), 4);
        else if (kind < 6)
            code += QByteArray("\x55\x8B\xEC\x83\xEC", 5) + char(random.bounded(64));
        else
            code += char(random.bounded(256)), code += char(random.bounded(256));
    }
    return code.left(size);
}

QByteArray Pe(QRandomGenerator& random, quint16 machine, bool wide)
{
    QByteArray h(0x400, '\0');
    const auto put16 = [&](int at, quint16 v) { h[at] = char(v); h[at + 1] = char(v >> 8); };
    const auto put32 = [&](int at, quint32 v) { put16(at, quint16(v)); put16(at + 2, quint16(v >> 16)); };
    const int optional = wide ? 0xF0 : 0xE0;
    h[0] = 'M', h[1] = 'Z';
    put32(0x3C, 0x80);
    h.replace(0x80, 4, QByteArray("PE\0\0", 4));
    put16(0x84, machine), put16(0x86, 1), put16(0x94, quint16(optional)), put16(0x96, 0x0102);
    put16(0x98, wide ? 0x20B : 0x10B), put32(0x98 + 16, 0x1000), put16(0x98 + 68, 2);
    const int section = 0x98 + optional;
    h.replace(section, 5, ".text");
    put32(section + 8, 0x10000), put32(section + 12, 0x1000), put32(section + 16, 0x10000), put32(section + 20, 0x400);
    put32(section + 36, 0x60000020);
    return h + Code(random, 0x10000);
}

QByteArray Elf(QRandomGenerator& random, quint16 machine, bool bigEndian, bool wide)
{
    QByteArray e(64, '\0');
    e.replace(0, 4, "\x7F" "ELF");
    e[4] = wide ? 2 : 1, e[5] = bigEndian ? 2 : 1, e[6] = 1;
    const auto put16 = [&](int at, quint16 v) { e[at + (bigEndian ? 1 : 0)] = char(v); e[at + (bigEndian ? 0 : 1)] = char(v >> 8); };
    put16(16, 2), put16(18, machine);
    e[bigEndian ? 23 : 20] = 1;
    return e + Code(random, 0x10000);
}

}  // namespace

QString MakeMethodCorpus(const QString& parent)
{
    const QString root = parent + QStringLiteral("/corpus");
    QRandomGenerator random(77);
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        const QString path = root + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    };
    // PE programs for each machine 7-Zip converts: x86, x64, ARM64, ARM Thumb-2, ARM, IA-64
    const struct { const char* name; quint16 machine; bool wide; } pes[] = {
        {"x86.exe", 0x14C, false}, {"bin/x64.dll", 0x8664, true}, {"bin/arm64.exe", 0xAA64, true},
        {"bin/armnt.exe", 0x1C4, false}, {"bin/arm.exe", 0x1C0, false}, {"bin/ia64.exe", 0x200, true}};
    for (const auto& pe : pes)
        write(QString::fromLatin1(pe.name), Pe(random, pe.machine, pe.wide));
    // ELF programs, which 7-Zip looks into when they are marked executable: PowerPC and SPARC among them
    const struct { const char* name; quint16 machine; bool big, wide; } elves[] = {
        {"elf/ppc", 20, true, false}, {"elf/sparc", 2, true, false}, {"elf/aarch64", 183, false, true}};
    for (const auto& elf : elves)
        ::chmod(QFile::encodeName(write(QString::fromLatin1(elf.name), Elf(random, elf.machine, elf.big, elf.wide))).constData(), 0755);
    QByteArray wave;
    for (int i = 0; i < 40000; ++i)
        wave += Fixed(quint16(qint16(8000 * std::sin(i * 0.0627))), 2) + Fixed(quint16(qint16(6000 * std::sin(i * 0.031))), 2);
    write(QStringLiteral("media/tone.wav"),
          "RIFF" + Fixed(quint32(36 + wave.size()), 4) + "WAVEfmt " + Fixed(16, 4) + Fixed(1, 2) + Fixed(2, 2) +
              Fixed(44100, 4) + Fixed(44100 * 4, 4) + Fixed(4, 2) + Fixed(16, 2) + "data" + Fixed(quint32(wave.size()), 4) + wave);
    QByteArray text;
    for (int i = 0; i < 6000; ++i)
        text += "line " + QByteArray::number(i) + " of the read-me, with words that repeat\n";
    write(QStringLiteral("leia-me.txt"), text);
    write(QStringLiteral("data/noise.bin"), RandomBytes(70000, 9));
    write(QStringLiteral("vazio.txt"), {});
    write(QStringLiteral("Ação/relatório 𝄞.txt"), "fora do plano básico\n");
    write(QStringLiteral("日本/ü/vazio2.dat"), {});
    QDir().mkpath(root + QStringLiteral("/pasta vazia"));
    return root;
}

std::set<QString> ListedMethods(const QString& archive)
{
    std::set<QString> methods;
    const CommandResult listing = RunCommand(QStringLiteral("7z"), {QStringLiteral("l"), QStringLiteral("-slt"), archive});
    bool inEntries = false;
    for (const QString& line : QString::fromUtf8(listing.output).split(QLatin1Char('\n'))) {
        inEntries = inEntries || line.startsWith(QLatin1String("----------"));
        if (inEntries && line.startsWith(QLatin1String("Method = ")))
            for (const QString& method : line.mid(9).trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts))
                methods.insert(method.section(QLatin1Char(':'), 0, 0));
    }
    return methods;
}

std::map<QString, std::pair<QByteArray, qint64>> ReadTreeWithTimes(const QString& folder)
{
    std::map<QString, std::pair<QByteArray, qint64>> tree;
    for (const auto& [path, contents] : ReadTree(folder))
        tree[path] = {contents, QFileInfo(folder + QLatin1Char('/') + path).lastModified().toMSecsSinceEpoch()};
    return tree;
}

}  // namespace pwtest
