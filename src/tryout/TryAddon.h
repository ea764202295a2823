#pragma once
// Trying an add-on before it goes on a disc: the cabinet is taken apart, laid out as nLite lays it out
// (C:\I386\svcpack\...) in a throwaway Wine prefix with its own home, and its [AddProgram] line runs as
// Windows setup runs it, on a private virtual display, under a time limit. What the run did (its exit code,
// the windows it showed, what it installed and what it left behind) comes back as a result and a report
// folder. The command line's --try and the window's "Testar" button share this; neither prints here.
#include "tryout/TryTypes.h"

namespace pw {

TryResult TryAddon(const TryOptions& options, TryUi& ui);

// Tries `addons` (options.addon aside) in this order in one prefix, as Windows setup runs the add-ons of one
// disc, each with a result and a report of its own. A step that fails for all of them, or a cancel, ends the
// try: the add-ons after it have no result.
QList<TryResult> TryAddons(const TryOptions& options, const QStringList& addons, TryUi& ui);

}  // namespace pw
