#include "catalogue/CatalogueEdit.h"

#include "catalogue/Silence.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/FileReplace.h"
#include "platform/TextLines.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <functional>

namespace pw {
namespace {

// A line is read back as a name up to its first comma and a switch after it: a name holding a comma, or
// a text holding a line break (or a NUL, which ends the file's text), would come back as other entries,
// and a line with neither name nor switch says nothing.
void CheckEntry(const QString& name, const QString& command)
{
    if (name.contains(QLatin1Char(',')))
        throw EntryRefused(EntryProblem::NameHasComma, name);
    for (const QString& text : {name, command}) {
        if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) || text.contains(QChar(0)))
            throw EntryRefused(EntryProblem::LineBreak, name);
    }
    if (name.trimmed().isEmpty() && command.trimmed().isEmpty())
        throw EntryRefused(EntryProblem::Empty, name);
}

void CheckIndex(int index, const CatalogueText& text)
{
    if (index < 0 || index >= text.lines.size())
        throw UserError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

// A file without any write permission bit counts as read-only even for a user whom the system would let
// write it anyway (root): such a file is marked as not to be changed.
void CheckWritable(const QString& path)
{
    constexpr QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(QFileInfo(path).permissions() & anyWrite))
        throw CannotCreateFile(path, SystemErrorText(EACCES));
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
        throw CannotCreateFile(path, probe.errorString());
}

void WriteCatalogue(const QString& path, const CatalogueText& text)
{
    CheckWritable(path);
    const QByteArray bytes = JoinLinesCrLf(text.lines) + text.hiddenTail;
    if (const std::optional<QString> failure = ReplaceFileContents(path, bytes))
        throw CannotCreateFile(path, *failure);
}

void EditCatalogue(const QString& path, const std::function<void(CatalogueText&)>& change)
{
    std::optional<CatalogueText> text = ReadCatalogue(path);
    if (!text)
        throw CannotOpenFile(path, SystemErrorText(ENOENT));
    change(*text);
    WriteCatalogue(path, *text);
}

}  // namespace

QString CatalogueTexts::Text(EntryProblem problem, const QString& name) const
{
    switch (problem) {
    case EntryProblem::NameHasComma:
        return NameHasCommaStr.arg(name);
    case EntryProblem::LineBreak:
        return LineBreakStr;
    case EntryProblem::Empty:
        break;
    }
    return EmptyEntryStr;
}

EntryRefused::EntryRefused(EntryProblem problem_, const QString& name_)
    : UserError(CatalogueTexts().Text(problem_, name_)), problem(problem_), name(name_)
{
}

QByteArray CatalogueLine(const QString& name, const QString& command)
{
    return UnicodeToAnsi(name) + ", " + UnicodeToAnsi(command);
}

void ReplaceCatalogueEntry(const QString& path, int index, const QString& name, const QString& command)
{
    CheckEntry(name, command);
    EditCatalogue(path, [&](CatalogueText& text) {
        CheckIndex(index, text);
        text.lines[index] = CatalogueLine(name, command);
    });
}

void AppendCatalogueEntry(const QString& path, const QString& name, const QString& command)
{
    CheckEntry(name, command);
    EditCatalogue(path, [&](CatalogueText& text) { text.lines.append(CatalogueLine(name, command)); });
}

void RemoveCatalogueEntry(const QString& path, int index)
{
    EditCatalogue(path, [&](CatalogueText& text) {
        CheckIndex(index, text);
        text.lines.remove(index);
    });
}

}  // namespace pw
