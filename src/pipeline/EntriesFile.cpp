#include "pipeline/EntriesFile.h"

#include "pipeline/StartCommand.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/SourceDateEpoch.h"
#include "platform/TextLines.h"

#include <QFile>

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
    lines.append(QStringLiteral("[AddProgram]"));
    lines.append(AddProgramCommand(in, outName));
    return lines;
}

QString WriteEntriesFile(const BuildInputs& in, const QString& outName)
{
    const QString name = EntriesFileName(outName);
    const QString path = in.dataDir + name;
    QList<QByteArray> bytes;
    for (const QString& line : EntriesFileLines(in, outName))
        bytes.append(UnicodeToAnsi(line));
    const QByteArray content = JoinLinesCrLf(bytes);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw CannotCreateFile(path, file.errorString());
    if (file.write(content) != content.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.close();
        QFile::remove(path);
        throw CannotCreateFile(path, reason);
    }
    file.close();
    StampBuildFile(path);
    return name;
}

}  // namespace pw
