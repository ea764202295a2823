#pragma once
// The files a build takes from AppDir and puts into the add-on: the self-extractor module and the runner
// programs. They are outside files: a user may put other files of these names there, and a build takes
// whatever it finds.
#include "pipeline/BuildInputs.h"

#include <QStringList>

namespace pw {

inline const QString kSfxModule = QStringLiteral("7zS.sfx");

// The files of AppDir that a cabinet build of `in` needs: the module when it compacts, and the start
// file's runner program.
QStringList AppFilesNeeded(const BuildInputs& in);

// The full path of `name` in `appDir`. Throws UserError naming the file and the folder when no such file
// is there.
QString RequireAppFile(const QString& appDir, const QString& name);

}  // namespace pw
