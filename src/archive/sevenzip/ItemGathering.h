#pragma once
// Turns the writer's entry list into the items of an archive: paths as they stand, and patterns made of
// a folder, a "*" and a mask, which are scanned (recursively with AddRecurseDirs).
#include "archive/sevenzip/PlatformFiles.h"
#include "archive/sevenzip/SevenZipTypes.h"

#include <functional>
#include <vector>

namespace pw {

struct GatheredItem {
    QString name;  // the path as gathered, used to open the file
    FileInformation info;
};

struct GatherOptions {
    QString rootDir;  // AddRootDir as Add left it
    AddOpts options;
    std::function<bool()> cancelled;  // a scan stops after the current entry once this answers true
    std::function<void()> pump;       // called now and then during a long scan
};

std::vector<GatheredItem> GatherItems(const QStringList& entries, const GatherOptions& options);

// The text upper-cased one character at a time, so that it keeps its length: "ß" stays "ß", where
// QString::toUpper makes it "SS" and a prefix of the upper-cased root no longer lines up with the names.
QString UpperCaseKeepingLength(const QString& text);

// The stored name of an item, before and after the OnSetAddName handler has seen it: the root prefix
// (compared without regard to case) comes off first, which leaves the path relative to the root folder;
// then, for an item outside the root folder only, a drive ("C:" and a separator); then any leading "/", as
// an archive never stores a path absolute; last, with AddStoreOnlyFilename, the folders. The archive's
// separator is "/". A name inside the root folder keeps all it has: "a:b.txt" there is a file's own
// name, not a drive.
struct RootRelativeName {
    QString name;
    bool insideRoot;
};
RootRelativeName StripRootPrefix(const QString& name, const QString& rootPrefix);
QString FinishStoredName(RootRelativeName name, AddOpts options);

}  // namespace pw
