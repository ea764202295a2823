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

// Tries the add-on of `cl` with `runner` (TryAddon) and returns the exit status.
int TryFromTerminal(const CommandLine& cl, const TryTexts& texts,
                    TryResult (*runner)(const TryOptions&, TryUi&) = TryAddon);

}  // namespace pw
