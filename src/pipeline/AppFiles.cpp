#include "pipeline/AppFiles.h"

#include "platform/Errors.h"
#include "project/StartFileKinds.h"

#include <QFileInfo>

namespace pw {

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
        throw UserError(QStringLiteral("O arquivo \"%1\" não foi encontrado na pasta \"%2\". O complemento precisa "
                                       "dele: coloque-o nessa pasta e crie o arquivo de novo.")
                            .arg(name, appDir));
    return path;
}

}  // namespace pw
