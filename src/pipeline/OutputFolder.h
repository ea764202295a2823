#pragma once
// The folders a build writes into, seen from the user's side: why a build cannot write there, in words
// that name the folder.
#include "pipeline/BuildTexts.h"

namespace pw {

// Why nothing can be written into `folder`: it does not exist, or it is read-only (a read-only file
// system, or no write permission for this user). Empty when it can be written.
QString FolderWriteProblem(const QString& folder, const BuildTexts& texts);

// What a write into `folder` that failed with the system error `error` says more than the failure's own
// message: that the disk is full. Empty for every other error.
QString WriteFailureDetail(int error, const QString& folder, const BuildTexts& texts);

}  // namespace pw
