#pragma once
// The catalogue of silent-install switches: one "name, switch" entry per line of a single-byte text
// file. A row's index in every list that shows the names is the line index of its entry.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace pw {

// The catalogue as the program sees it: the lines before the first NUL byte, and the bytes from that NUL
// on, which no list shows but which a rewrite of the file keeps.
struct CatalogueText {
    QList<QByteArray> lines;
    QByteArray hiddenTail;
};

// nullopt when the file does not exist; throws UserError when it exists but cannot be read.
std::optional<CatalogueText> ReadCatalogue(const QString& path);

// The names, one per line, in file order: the text before the first comma (a line without a comma is
// its own name). Empty when the file does not exist; throws UserError when it exists but cannot be read.
QStringList SilenceNames(const QString& path);

// The switch of entry `index`: the text after the first comma with bytes of value 32 or less trimmed
// from both ends. Empty when the file does not exist or has no such line.
QString SilenceCommand(const QString& path, int index);

// The catalogue's path inside the data folder.
QString SilenceFilePath(const QString& dataDir);

}  // namespace pw
