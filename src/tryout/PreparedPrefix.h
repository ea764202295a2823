#pragma once
// The prepared prefix: making a Wine prefix (wineboot) is most of a try, so it is made once per user, per
// Wine version, per architecture and per imitated Windows, kept in the user's cache folder, and each try
// works in a real copy of it. It is made under a lock, so that tries started together make it once, and
// under a temporary name renamed into place at its end, so that a making that was interrupted leaves
// nothing a later try would take for a prepared prefix.
#include "tryout/ChildRun.h"

#include <QString>

#include <functional>

namespace pw {

class TryUi;

// $XDG_CACHE_HOME/Packwright/prefixes, ~/.cache/Packwright/prefixes without it.
QString DefaultPrefixCache();

// What `loader` --version says ("wine-8.0 (Debian 8.0~repack-4)"), in a form fit for a file name; empty when
// it does not answer.
QString WineVersionName(const QString& loader);

class PreparedPrefix {
public:
    // Makes a prefix in "prefix" of the folder it is given (as WinePrefix lays one out); returns how that
    // ended and, when it failed, why.
    using Maker = std::function<RunEnd(const QString& root, QString* error)>;

    // The prepared prefix `wineVersion`-`variant` in `cache`. `wineVersion` holds no "-".
    PreparedPrefix(const QString& cache, const QString& wineVersion, const QString& variant);

    // Copies the prepared prefix to `destination` (which must not exist), making it first with `make`
    // when it is missing. The prepared prefixes of other Wine versions and what interrupted makings left go.
    RunEnd CopyTo(const QString& destination, const Maker& make, TryUi& ui, QString* error) const;

    QString path() const;

private:
    void RemoveStale() const;
    RunEnd MakeInPlace(const Maker& make, QString* error) const;

    QString cache_, wineVersion_, name_;
};

}  // namespace pw
