#include "reopen/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace pw {

bool CanTakeProgram(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return true;
    return info.isDir() && QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

QString ProposedProgramFolder(const QString& cabinet)
{
    const QFileInfo addOn(cabinet);
    const QString base = addOn.absolutePath() + QLatin1Char('/') + addOn.completeBaseName() + QStringLiteral("-files");
    QString folder = base;
    for (int n = 2; !CanTakeProgram(folder); ++n)
        folder = base + QLatin1Char('-') + QString::number(n);
    return folder;
}

}  // namespace pw
