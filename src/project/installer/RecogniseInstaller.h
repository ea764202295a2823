#pragma once
// Tells from a start file's bytes which installer technology made it, so that its silent switch can be
// offered. Only headers, section names, a few resources, the first megabyte of the image and the first
// 64 KiB after it are read: a start file of any size is recognised in a few milliseconds.
#include "platform/version/ByteSource.h"
#include "project/installer/InstallerKind.h"

#include <QString>

namespace pw {

// The kind of the file at `path`; Unknown when it cannot be read or is not recognised. A named pipe or
// other special file is never opened.
InstallerKind RecogniseInstaller(const QString& path);

// The kind of the bytes of `source`, named `fileName` (only its extension is looked at).
InstallerKind RecogniseInstaller(ByteSource& source, const QString& fileName);

}  // namespace pw
