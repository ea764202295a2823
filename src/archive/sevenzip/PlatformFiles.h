#pragma once
// The file operations of the 7z writer that the library and the archive format ask for.
#include "platform/FileInformation.h"

#include <QString>

namespace pw {

// Copies `source` to `dest`, failing when `dest` already exists. Returns 0, or the errno of the failure;
// a copy that fails part-way leaves no `dest` behind.
int CopyFileNoReplace(const QString& source, const QString& dest);

// Length of the host's absolute-path prefix: 1 for "/" ..., 3 for a Windows drive such as "C:\" or "C:/",
// 0 for a relative path.
int DrivePrefixLength(const QString& path);

}  // namespace pw
