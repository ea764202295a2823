#pragma once
// packwright-build --try: the try of an add-on on a terminal. Its steps go to standard output as they
// start, then the summary with the report folder's path; why it could not try goes to standard error.
// Ctrl+C stops it, and the try removes everything it had made.
#include "cli/CommandLine.h"
#include "tryout/TryAddon.h"

namespace pw {

class TerminalTryUi : public TryUi {
public:
    void setStatus(const QString& text) override;
    bool cancelRequested() override;
};

// Prints what `result` says and returns the exit status of the try.
int ReportTry(const TryResult& result, const TryTexts& texts);

// Tries the add-ons of `cl` with `runner` (TryAddons) and returns the exit status: 0 only when every one
// installed silently. Several end with the table of them all.
int TryFromTerminal(const CommandLine& cl, const TryTexts& texts,
                    QList<TryResult> (*runner)(const TryOptions&, const QStringList&, TryUi&) = TryAddons);

}  // namespace pw
