#pragma once
// The folders a build writes into, seen from the user's side: the folders it must never write into, and
// why it cannot write into one, in words that name the folder.
#include "pipeline/BuildTexts.h"

namespace pw {

// True when `path` lies inside `folder` (or is the folder itself), after resolving "..", links and
// relative parts; a build must never write there.
bool IsInsideFolder(const QString& path, const QString& folder);

// Why nothing can be written into `folder`: it does not exist, is no folder, or is read-only (a read-only
// file system, or no write permission for this user). Empty when it can be written.
QString FolderWriteProblem(const QString& folder, const BuildTexts& texts);

// What a write into `folder` that failed with the system error `error` says more than the failure's own
// message: that the disk is full, that the folder is read-only, gone or no folder. Empty for every other
// error.
QString WriteFailureDetail(int error, const QString& folder, const BuildTexts& texts);

// Why `folder` could not be used, for any system error: the words of WriteFailureDetail, or else the
// system's own text.
QString FolderFailureText(int error, const QString& folder, const BuildTexts& texts);

}  // namespace pw
