#pragma once
// The changes the catalogue editor makes. Each one reads the file afresh and rewrites it whole, so the
// line index stays the entry index of every list that shows the names. The catalogue is the user's own
// file: the new content goes to a temporary file beside it, which replaces it only once completely
// written, and a file marked read-only is never replaced. Every failure throws UserError with the text
// to show, and leaves the file as it was.
#include <QByteArray>
#include <QString>

namespace pw {

// The line the editor writes for an entry: the name, ", ", the switch, both as typed.
QByteArray CatalogueLine(const QString& name, const QString& command);

// An entry must come back from the file as it was typed: a name holding a comma (the first comma
// separates name and switch), a line break in either text, and an entry with neither name nor switch are
// refused with a UserError before the file is touched.

// Replaces entry `index` with a new line; every other line keeps its bytes.
void ReplaceCatalogueEntry(const QString& path, int index, const QString& name, const QString& command);

// Appends a new line at the end. The file must exist: the editor never creates it.
void AppendCatalogueEntry(const QString& path, const QString& name, const QString& command);

// Deletes entry `index`.
void RemoveCatalogueEntry(const QString& path, int index);

}  // namespace pw
