#pragma once
// --from: the build starts from the choices of an add-on made before, the options given winning over them.
#include "cli/CommandLine.h"

namespace pw {

struct FromAddOn {
    QString usageError;  // a usage error; the build does not run
    QStringList notes;   // what of the old add-on could not be read, in words
    QString extracted;   // the folder its program was extracted into; empty when --folder was given
};

// Fills cl.inputs from the add-on cl.from names. Throws UserError when it cannot be opened.
FromAddOn TakeOldAddOn(CommandLine& cl, const CliTexts& texts);

// The start file of `folder` that follows `oldStartFile`: the same name, else the only one named the same
// but for its version numbers ("setup-1.2.exe", "setup-1.3.exe"). Empty when there is none or several.
QString FollowingStartFile(const QStringList& startFiles, const QString& oldStartFile);

}  // namespace pw
