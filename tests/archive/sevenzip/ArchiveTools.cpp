#include "ArchiveTools.h"

#include "support/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pwtest {

CommandResult RunCommand(const QString& program, const QStringList& arguments, const QString& workingFolder)
{
    // A plain fork: the vfork-like start QProcess uses leaves ThreadSanitizer's view of the test process
    // confused, and the tests run under it too.
    std::vector<QByteArray> texts{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        texts.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const QByteArray folder = QFile::encodeName(workingFolder);
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipe[1], STDOUT_FILENO);
        ::dup2(pipe[1], STDERR_FILENO);
        if (!folder.isEmpty() && ::chdir(folder.constData()) != 0)
            ::_exit(126);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipe[1]);
    CommandResult result;
    char buffer[65536];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        result.output.append(buffer, n);
    }
    ::close(pipe[0]);
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}

std::vector<std::pair<QString, ListedEntry>> ListArchiveInOrder(const QString& archive)
{
    std::vector<std::pair<QString, ListedEntry>> entries;
    const CommandResult listing = RunCommand(QStringLiteral("7z"), {QStringLiteral("l"), QStringLiteral("-slt"), archive});
    const QStringList lines = QString::fromUtf8(listing.output).split(QLatin1Char('\n'));
    bool inEntries = false;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1String("----------"))) {
            inEntries = true;
            continue;
        }
        if (!inEntries)
            continue;
        const QString key = line.section(QStringLiteral(" = "), 0, 0);
        const QString value = line.section(QStringLiteral(" = "), 1);
        if (key == QLatin1String("Path"))
            entries.emplace_back(value, ListedEntry{});
        if (entries.empty())
            continue;
        ListedEntry& entry = entries.back().second;
        if (key == QLatin1String("Size"))
            entry.size = value.toLongLong();
        else if (key == QLatin1String("Folder"))
            entry.folder = value == QLatin1String("+");
        else if (key == QLatin1String("Attributes") && value.startsWith(QLatin1Char('D')))
            entry.folder = true;
        else if (key == QLatin1String("Method"))
            entry.method = value;
    }
    return entries;
}

std::map<QString, ListedEntry> ListArchive(const QString& archive)
{
    const auto inOrder = ListArchiveInOrder(archive);
    return {inOrder.begin(), inOrder.end()};
}

bool ArchiveTestsClean(const QString& archive)
{
    return RunCommand(QStringLiteral("7z"), {QStringLiteral("t"), archive}).exitCode == 0;
}

bool ExtractArchive(const QString& archive, const QString& folder)
{
    return RunCommand(QStringLiteral("7z"), {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-o") + folder, archive})
               .exitCode
           == 0;
}

QStringList BsdtarList(const QString& archive)
{
    const CommandResult listing = RunCommand(QStringLiteral("bsdtar"), {QStringLiteral("-tf"), archive});
    QStringList paths;
    for (QString line : QString::fromUtf8(listing.output).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        while (line.endsWith(QLatin1Char('/')))
            line.chop(1);
        paths.append(line);
    }
    paths.sort();
    return paths;
}

bool ReferenceArchive(const QString& folder, int level, const QString& archive)
{
    return RunCommand(QStringLiteral("7z"),
                      {QStringLiteral("a"), QStringLiteral("-mx=%1").arg(level), QStringLiteral("-ms=off"), archive,
                       QStringLiteral(".")},
                      folder)
               .exitCode
           == 0;
}

std::map<QString, QByteArray> ReadTree(const QString& folder)
{
    std::map<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext()) {
        const QString path = it.next();
        tree[base.relativeFilePath(path)] = it.fileInfo().isDir() ? QByteArray("<dir>") : ReadAll(path);
    }
    return tree;
}

QByteArray RandomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(random.bounded(256));
    return bytes;
}

QString MakeSampleTree(const QString& parent)
{
    const QString root = parent + QStringLiteral("/Programa");
    QDir().mkpath(root + QStringLiteral("/vazia"));
    QByteArray text;
    for (int i = 0; i < 3000; ++i)
        text += "linha " + QByteArray::number(i) + " de texto que se repete\n";
    const auto write = [&](const QString& relative, const QByteArray& bytes) {
        const QString path = root + QLatin1Char('/') + relative;
        QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    };
    write(QStringLiteral("setup.exe"), QByteArray("MZ") + RandomBytes(5000, 2));
    write(QStringLiteral("leia-me.txt"), text);
    write(QStringLiteral("vazio.dat"), {});
    write(QStringLiteral("Ação/relatório café.txt"), "acentos\n");
    write(QStringLiteral("sub/ünïcødé_日本.txt"), text.left(777));
    // Characters outside the 16-bit range: UTF-16 in the archive, as surrogate pairs.
    write(QStringLiteral("emoji 😀/sorriso 🎉.txt"), "festa\n");
    QDir().mkpath(root + QStringLiteral("/vazia 🚀"));
    write(QStringLiteral("sub/vazio2.bin"), {});
    QString deep = QStringLiteral("d");
    for (int i = 1; i < 12; ++i)
        deep += QStringLiteral("/d%1").arg(i);
    write(deep + QStringLiteral("/fundo.bin"), RandomBytes(3000, 3));
    return root;
}

}  // namespace pwtest
