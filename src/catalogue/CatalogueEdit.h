#pragma once
// The changes the catalogue editor makes. Each one reads the file afresh and rewrites it whole, so the
// line index stays the entry index of every list that shows the names. The catalogue is the user's own
// file: the new content goes to a temporary file beside it, which replaces it only once completely
// written, and a file marked read-only is never replaced. Every failure throws UserError with the text
// to show, and leaves the file as it was.
#include "platform/Errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pw {

// Why the editor refuses an entry before touching the file.
enum class EntryProblem { NameHasComma, LineBreak, Empty };

// The editor's words for those refusals; a language file may replace them.
struct CatalogueTexts {
    QString NameHasCommaStr = QStringLiteral("O nome \"%1\" tem uma vírgula, que no catálogo separa o nome do "
                                             "comando. Escreva o nome sem vírgula.");
    QString LineBreakStr = QStringLiteral("O nome e o comando devem caber numa linha só.");
    QString EmptyEntryStr = QStringLiteral("Escreva o nome e o comando da entrada.");

    QString Text(EntryProblem problem, const QString& name) const;
    bool operator==(const CatalogueTexts&) const = default;
};

// An entry refused. It carries the problem and the name, so that the editor can word it in the user's
// language; its own message is the built-in one.
class EntryRefused : public UserError {
public:
    EntryRefused(EntryProblem problem, const QString& name);
    EntryProblem problem;
    QString name;
};

// The line the editor writes for an entry: the name, ", ", the switch, both as typed.
QByteArray CatalogueLine(const QString& name, const QString& command);

// An entry must come back from the file as it was typed: a name holding a comma (the first comma
// separates name and switch), a line break in either text, and an entry with neither name nor switch are
// refused with an EntryRefused before the file is touched.

// Replaces entry `index` with a new line; every other line keeps its bytes.
void ReplaceCatalogueEntry(const QString& path, int index, const QString& name, const QString& command);

// Appends a new line at the end. The file must exist: the editor never creates it.
void AppendCatalogueEntry(const QString& path, const QString& name, const QString& command);

// Deletes entry `index`.
void RemoveCatalogueEntry(const QString& path, int index);

class LanguageFile;
// The texts `file` gives, each one it lacks built in; and the keys of section "Strings" they are read from.
CatalogueTexts LoadCatalogueTexts(const LanguageFile& file);
QStringList CatalogueTextKeys();

}  // namespace pw
