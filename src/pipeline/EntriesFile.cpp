#include "pipeline/EntriesFile.h"

#include "pipeline/StartCommand.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/SourceDateEpoch.h"
#include "platform/TextLines.h"

#include <QFile>

#include <cerrno>

namespace pw {

QString EntriesFileName(const QString& outName)
{
    QString upper = outName;
    for (QChar& c : upper) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return QStringLiteral("ENTRIES_") + upper + QStringLiteral(".ini");
}

QString AddProgramCommand(const BuildInputs& in, const QString& outName)
{
    return in.compact ? outName + QStringLiteral(".exe") : StartCommand(in, RunnerNaming::ProgramFile);
}

QStringList EntriesFileLines(const BuildInputs& in, const QString& outName)
{
    QStringList lines = SplitLines(in.entriesText);
    lines.append(kAddProgramSection);
    lines.append(AddProgramCommand(in, outName));
    return lines;
}

QByteArray EntriesFileBytes(const BuildInputs& in, const QString& outName)
{
    QList<QByteArray> bytes;
    for (const QString& line : EntriesFileLines(in, outName))
        bytes.append(UnicodeToAnsi(line));
    return JoinLinesCrLf(bytes);
}

EntriesFileParts SplitEntriesFile(const QByteArray& bytes)
{
    const QStringList lines = SplitLines(AnsiToUnicode(bytes));
    EntriesFileParts parts;
    qsizetype at = lines.size();
    while (at > 0 && lines[at - 1].trimmed().compare(kAddProgramSection, Qt::CaseInsensitive) != 0)
        --at;
    parts.hasAddProgram = at > 0;
    parts.entriesText = lines.mid(0, parts.hasAddProgram ? at - 1 : lines.size()).join(QLatin1Char('\n'));
    for (qsizetype i = at; parts.hasAddProgram && i < lines.size() && parts.command.isEmpty(); ++i)
        parts.command = lines[i].trimmed();
    return parts;
}

QString WriteEntriesFile(const BuildInputs& in, const QString& outName, const QString& folder)
{
    const QString name = EntriesFileName(outName);
    const QString path = folder + name;
    const QByteArray content = EntriesFileBytes(in, outName);
    // Unbuffered, so a write the disk refuses fails at once and leaves its reason in errno.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw CannotCreateFile(path, errno);
    if (file.write(content) != content.size()) {
        const int error = errno;
        file.close();
        QFile::remove(path);
        throw CannotCreateFile(path, error);
    }
    file.close();
    StampBuildFile(path);
    return name;
}

}  // namespace pw
