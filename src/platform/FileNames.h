#pragma once
// Parts of file names. An extension runs from the last "." of the file-name part to its end, dot
// included, and is compared in lower case.
#include <QString>

namespace pw {

// The part after the last "/" or "\" (and after a drive prefix such as "C:").
QString FileNamePart(const QString& path);

// Extension of the file-name part in lower case; "" when it has no dot.
QString LowerExtension(const QString& path);

// File-name part of `path` without its last extension: "/out/my.cabinet.cab" gives "my.cabinet".
QString BareFileName(const QString& path);

// Joins two pieces of a path with one `separator` between them; an empty piece adds nothing.
QString JoinPath(const QString& first, const QString& second, QChar separator);

}  // namespace pw
