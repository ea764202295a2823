#include "MixedCorpus.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>
#include <iterator>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

QByteArray Noise(QRandomGenerator& random, qsizetype size)
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

void MakeCorpus(const QString& root)
{
    QRandomGenerator random(2026);
    for (int i = 0; i < 8; ++i)
        WriteFile(root + QStringLiteral("/docs/manual%1.txt").arg(i), Prose(random, 10 << 20));
    for (int i = 0; i < 5; ++i)
        WriteFile(root + QStringLiteral("/data/blob%1.bin").arg(i), Noise(random, 10 << 20));
    for (int i = 0; i < 4; ++i)
        WriteFile(root + QStringLiteral("/media/pack%1.cab").arg(i), qCompress(Prose(random, 40 << 20), 9));
    for (int i = 0; i < 4000; ++i) {
        const QString folder = QStringLiteral("/res/%1/%2/%3").arg(i % 7).arg(i % 13).arg(i % 5);
        const qsizetype size = 512 + random.bounded(16 << 10);
        WriteFile(root + folder + QStringLiteral("/item%1.%2").arg(i).arg(i % 3 ? "xml" : "dat"),
                  i % 3 ? Prose(random, size) : Noise(random, size));
    }
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

