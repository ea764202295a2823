#pragma once
// What choosing a start file puts into the descriptive fields: five values of its version data, which the
// window and the command line both take.
#include "project/EntriesText.h"
#include "project/VersionInfoReader.h"

#include <QList>

namespace pw {

// Title, description, version, language and build date from the version data of the start file at
// `path`, in the order the window sets them; each value the file cannot supply is empty. Nothing for a
// start file that is not an ".exe": the fields then keep what they hold. The web site is never filled.
QList<FieldValue> VersionDataFill(VersionInfoReader& reader, const QString& path);

}  // namespace pw
