#include "MixedCorpus.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDirIterator>
#include <QList>
#include <QRandomGenerator>

#include <cstring>
#include <stdexcept>

namespace pwcorpus {
namespace {

// xorshift64*: fast, repeatable bytes for the corpus.
struct Noise {
    std::uint64_t state;
    std::uint64_t Next()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 0x2545F4914F6CDD1DULL;
    }
};

QByteArray RandomBytes(Noise& noise, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; i += 8) {
        const std::uint64_t v = noise.Next();
        std::memcpy(bytes.data() + i, &v, size_t(std::min<qsizetype>(8, size - i)));
    }
    return bytes;
}

// Words drawn with a skewed (Zipf-like) frequency from a vocabulary of a few thousand, in the shapes of
// prose, settings files, logs and source code.
QByteArray TextLike(Noise& noise, qsizetype size)
{
    static const QList<QByteArray> vocabulary = [] {
        Noise letters{42};
        QList<QByteArray> words;
        for (int i = 0; i < 4000; ++i) {
            QByteArray word;
            const int length = 2 + int(letters.Next() % 9);
            for (int c = 0; c < length; ++c)
                word += char('a' + letters.Next() % 26);
            words << word;
        }
        return words;
    }();
    const auto word = [&] {
        const double u = double(noise.Next() % 1000000) / 1e6;
        return vocabulary[int(u * u * u * vocabulary.size())];
    };
    QByteArray text;
    text.reserve(size + 256);
    while (text.size() < size) {
        switch (noise.Next() % 4) {
        case 0:  // prose
            for (int i = 0, n = 5 + int(noise.Next() % 15); i < n; ++i)
                text += word() + (i + 1 < n ? " " : ".\r\n");
            break;
        case 1:  // settings
            text += word() + "_" + word() + "=" + QByteArray::number(qulonglong(noise.Next() % 5000)) + "\r\n";
            break;
        case 2:  // log
            text += "2024-0" + QByteArray::number(qulonglong(1 + noise.Next() % 9)) + "-1" +
                    QByteArray::number(qulonglong(noise.Next() % 10)) + " " + word() + ": " + word() + " " + word() +
                    " (" + QByteArray::number(qulonglong(noise.Next() % 100000)) + ")\r\n";
            break;
        default:  // code
            text += QByteArray(int(noise.Next() % 4) * 4, ' ') + "if (" + word() + "->" + word() + " != " + word() +
                    ") { " + word() + "(" + word() + ", " + QByteArray::number(qulonglong(noise.Next() % 64)) +
                    "); }\r\n";
        }
    }
    return text.left(size);
}

// Something like program code: repeated instruction-like records with varying operands and tables.
QByteArray BinaryLike(Noise& noise, qsizetype size)
{
    QByteArray bytes;
    bytes.reserve(size + 64);
    const QByteArray opcodes = RandomBytes(noise, 256);
    while (bytes.size() < size) {
        const std::uint64_t v = noise.Next();
        const int kind = int(v % 4);
        if (kind == 0)
            bytes += opcodes.mid(int(v >> 8) % 240, 4 + int(v >> 16) % 12);
        else if (kind == 1)
            bytes += QByteArray(int(v >> 8) % 24, '\0');
        else
            bytes += RandomBytes(noise, 1 + int(v >> 8) % 6);
    }
    return bytes.left(size);
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

// Numbers one to a line, as "seq" prints them: text of a few letters, where a deflate engine may find
// writing literals alone cheapest.
QByteArray Numbers(int first, int last)
{
    QByteArray text;
    for (int n = first; n <= last; ++n)
        text += QByteArray::number(n) + '\n';
    return text;
}

QByteArray Incompressible(QRandomGenerator& random, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

// Prose-like text: words of a small vocabulary, the common ones far more often, in lines.
QByteArray Prose(QRandomGenerator& random, qsizetype size)
{
    static const char* const words[] = {"the", "of", "and", "install", "program", "setup", "windows", "file",
                                        "folder", "registry", "value", "version", "update", "service", "driver",
                                        "configuration", "silent", "switch", "component", "license", "user"};
    QByteArray text;
    text.reserve(size + 64);
    while (text.size() < size) {
        const double skew = random.generateDouble();
        text += words[int(skew * skew * skew * std::size(words))];
        text += random.bounded(12) == 0 ? '\n' : ' ';
    }
    text.truncate(size);
    return text;
}

}  // namespace

void MakeMixedCorpus(const QString& root)
{
    Noise noise{0x9E3779B97F4A7C15ULL};
    for (int i = 0; i < 40; ++i)
        WriteFile(root + QStringLiteral("/text/doc%1.txt").arg(i), TextLike(noise, 2'500'000));
    for (int i = 0; i < 30; ++i)
        WriteFile(root + QStringLiteral("/bin/module%1.dll").arg(i), BinaryLike(noise, 2'700'000));
    for (int i = 0; i < 10; ++i)
        WriteFile(root + QStringLiteral("/media/blob%1.bin").arg(i), RandomBytes(noise, 7'000'000));
    for (int i = 0; i < 10; ++i)
        WriteFile(root + QStringLiteral("/numbers/seq%1.txt").arg(i), Numbers(i * 250000 + 1, (i + 1) * 250000));
    for (int i = 0; i < 12000; ++i) {
        const qsizetype size = qsizetype(noise.Next() % 5000);
        const QString path = root + QStringLiteral("/small/d%1/f%2.%3").arg(i % 120).arg(i).arg(i % 3 ? "txt" : "dat");
        WriteFile(path, i % 3 ? TextLike(noise, size) : BinaryLike(noise, size));
    }
}


void MakeArchiveCorpus(const QString& root)
{
    QRandomGenerator random(2026);
    for (int i = 0; i < 8; ++i)
        WriteFile(root + QStringLiteral("/docs/manual%1.txt").arg(i), Prose(random, 10 << 20));
    for (int i = 0; i < 5; ++i)
        WriteFile(root + QStringLiteral("/data/blob%1.bin").arg(i), Incompressible(random, 10 << 20));
    for (int i = 0; i < 4; ++i)
        WriteFile(root + QStringLiteral("/media/pack%1.cab").arg(i), qCompress(Prose(random, 40 << 20), 9));
    for (int i = 0; i < 4000; ++i) {
        const QString folder = QStringLiteral("/res/%1/%2/%3").arg(i % 7).arg(i % 13).arg(i % 5);
        const qsizetype size = 512 + random.bounded(16 << 10);
        WriteFile(root + folder + QStringLiteral("/item%1.%2").arg(i).arg(i % 3 ? "xml" : "dat"),
                  i % 3 ? Prose(random, size) : Incompressible(random, size));
    }
    // The program folder's start file, at its top, where a build looks for it.
    Noise noise{2026};
    WriteFile(root + QStringLiteral("/setup.exe"), "MZ" + BinaryLike(noise, 1 << 20));
    QDir().mkpath(root + QStringLiteral("/bin"));
    int tools = 0;
    for (const QFileInfo& tool : QDir(QStringLiteral("/usr/bin")).entryInfoList(QDir::Files, QDir::Size | QDir::Reversed)) {
        if (tool.size() < (64 << 10) || tool.size() > (1 << 20) || tools == 40)
            continue;
        QFile::copy(tool.absoluteFilePath(), root + QStringLiteral("/bin/tool%1.exe").arg(tools++));
    }
}

qint64 FolderBytes(const QString& root)
{
    qint64 total = 0;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

}  // namespace pwcorpus
