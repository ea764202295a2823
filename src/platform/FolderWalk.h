#pragma once
// The walk of a folder tree that both archive writers make, with one rule for what they meet there:
// - links are followed, but a folder reached a second time (a link back to a parent, or a second link to
//   the same folder) is reported and not walked again, so that every walk ends;
// - a named pipe, socket or device that would be taken as a file stops the walk with a message naming
//   it: reading it would wait for ever for a writer, or never end;
// - so does an entry that cannot be looked at, such as a link to nothing.
#include "platform/FileInformation.h"

#include <QString>

#include <functional>

namespace pw {

struct WalkEntry {
    QString path;  // the folder walked, as given, followed by the entry's name
    QString name;
    FileInformation info;
};

struct WalkRules {
    std::function<bool(const QString& name)> takesFile;  // which files are reported; folders always are
    bool recursive = true;
    bool filesFirst = false;  // all files of a folder before its sub-folders, else in listing order
    std::function<bool()> cancelled;  // asked after each entry: true ends the walk there
    std::function<void()> pump;       // called after each entry, for a window that waits on the walk
};

// Reports the entries below `folder` (which ends in "/", or is empty for the current folder), in the
// order the file system lists them (by name for a reproducible build, see SourceDateEpoch); a sub-folder
// is reported before its contents. Throws UserError for
// a folder that cannot be listed and for the entries the rules above refuse.
void WalkFolder(const QString& folder, const WalkRules& rules, const std::function<void(const WalkEntry&)>& visit);

}  // namespace pw
