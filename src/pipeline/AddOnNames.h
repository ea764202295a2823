#pragma once
// The names and values an add-on carries, held against NameRules before the build writes anything: the
// program folder's names, as an archive writer's walk meets them, and what the build itself names (the
// output, the entries file's command) or copies into the add-on's files (the one-line values).
#include "project/BuildInputs.h"
#include "pipeline/NameRules.h"
#include "platform/FileInformation.h"

#include <QHash>

#include <functional>

namespace pw {

// The names of one program folder, told one by one, each folder before what it holds: every one against
// Windows' rules and against the names told before it, compared as Windows compares them, without regard
// to case; for a cabinet, also against what a cabinet stores. Throws NameRefused at the first that fails.
class FolderNameCheck {
public:
    // `cabinetFolder`: the cabinet's folder the files go under, or empty when they go into a 7z archive.
    explicit FolderNameCheck(QString cabinetFolder = {});

    // The runner program that the add-on puts at the top of the folder, beside the start file.
    void AddRunner(const QString& name);
    // `path` is relative to the program folder, "/" between names.
    void Check(const QString& path, const FileInformation& info);

private:
    QString cabinetFolder_;
    QString runner_;
    QString runnerKey_;
    QHash<QString, QString> seen_;  // each path told, as Windows compares it, and as it was told
};

// Checks the program folder of a cabinet build whose files go into the cabinet as they are, the start
// file's runner among them, through a walk of its own: the cabinet writer writes as it walks. `pump` is
// called now and then during the walk.
void CheckCabinetFolder(const BuildInputs& in, const std::function<void()>& pump);

// What a cabinet build names or copies besides the folder's files: the one-line values (switch,
// descriptive fields, shortcut texts), the output's name (it names the installer and the entries file),
// and the start file's command in the entries file.
void CheckAddOnValues(const BuildInputs& in, const QString& target);

}  // namespace pw
