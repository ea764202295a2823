#pragma once
// The files a build takes from AppDir and puts into the add-on: the self-extractor module and the runner
// programs. They are outside files: a user may put other files of these names there, and a build takes
// whatever it finds.
#include "project/BuildInputs.h"
#include "platform/Errors.h"

#include <QStringList>

namespace pw {

inline const QString kSfxModule = QStringLiteral("7zS.sfx");

// A file the add-on needs is not in AppDir. It carries the file's name and the folder, so that whoever
// shows it can word it in the user's language; its own message is the built-in one.
class AppFileMissing : public UserError {
public:
    AppFileMissing(const QString& name, const QString& folder);
    QString name, folder;
};

// The files of AppDir that a cabinet build of `in` needs: the module when it compacts, and the start
// file's runner program.
QStringList AppFilesNeeded(const BuildInputs& in);

// The full path of `name` in `appDir`. Throws AppFileMissing when no such file is there.
QString RequireAppFile(const QString& appDir, const QString& name);

}  // namespace pw
