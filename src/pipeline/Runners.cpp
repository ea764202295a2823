#include "pipeline/Runners.h"

#include "platform/FileNames.h"

namespace pw {

QString RunnerProgram(const QString& startFile)
{
    const QString ext = LowerExtension(startFile);
    if (ext == QLatin1String(".msi"))
        return QStringLiteral("msistub.exe");
    if (ext == QLatin1String(".cmd") || ext == QLatin1String(".bat"))
        return QStringLiteral("batchrunner.exe");
    if (ext == QLatin1String(".inf"))
        return QStringLiteral("infrunner.exe");
    return {};
}

}  // namespace pw
