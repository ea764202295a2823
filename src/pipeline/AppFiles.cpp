#include "pipeline/AppFiles.h"

#include "pipeline/BuildTexts.h"
#include "project/StartFileKinds.h"

#include <QFileInfo>

namespace pw {

AppFileMissing::AppFileMissing(const QString& name_, const QString& folder_)
    : UserError(BuildTexts().AppFileMissingStr.arg(name_, folder_)), name(name_), folder(folder_)
{
}

QStringList AppFilesNeeded(const BuildInputs& in)
{
    QStringList names;
    if (in.compact)
        names.append(kSfxModule);
    if (const Runner* runner = RunnerOf(in.startFile))
        names.append(runner->program);
    return names;
}

QString RequireAppFile(const QString& appDir, const QString& name)
{
    const QString path = appDir + name;
    if (!QFileInfo(path).isFile())
        throw AppFileMissing(name, appDir);
    return path;
}

}  // namespace pw
