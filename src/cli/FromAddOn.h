#pragma once
// --from: the build starts from the choices of an add-on made before, the options given winning over them.
#include "cli/CommandLine.h"

namespace pw {

struct ReopenTexts;

struct FromAddOn {
    QString usageError;  // a usage error; the build does not run
    QStringList notes;   // what of the old add-on could not be read, in words
    QString extracted;   // the folder its program was extracted into; empty when --folder was given
};

// Fills cl.inputs from the add-on cl.from names. Throws UserError when it cannot be opened.
FromAddOn TakeOldAddOn(CommandLine& cl, const CliTexts& texts, const ReopenTexts& reopenTexts);

}  // namespace pw
