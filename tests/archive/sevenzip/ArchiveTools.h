#pragma once
// Independent readers of the archives the tests write (7-Zip's own command-line program and bsdtar), and
// small helpers to build and compare folder trees.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <utility>
#include <vector>

namespace pwtest {

struct CommandResult {
    int exitCode = -1;
    QByteArray output;
};

CommandResult RunCommand(const QString& program, const QStringList& arguments, const QString& workingFolder = {});

struct ListedEntry {
    qint64 size = 0;
    bool folder = false;
    QString method;

    friend bool operator==(const ListedEntry& a, const ListedEntry& b) { return a.size == b.size && a.folder == b.folder; }
};

// Path and entry of each item, in the archive's order, from "7z l -slt".
std::vector<std::pair<QString, ListedEntry>> ListArchiveInOrder(const QString& archive);
// Path → entry.
std::map<QString, ListedEntry> ListArchive(const QString& archive);
// True when "7z t" finds no error.
bool ArchiveTestsClean(const QString& archive);
// Extracts with "7z x" into `folder`; true on success.
bool ExtractArchive(const QString& archive, const QString& folder);
// Paths bsdtar lists, without trailing "/", sorted.
QStringList BsdtarList(const QString& archive);
// What "7z a -mx=<level> -ms=off" run inside `folder` writes to `archive`.
bool ReferenceArchive(const QString& folder, int level, const QString& archive);

// Relative path → contents, folders as "<dir>", for every entry below `folder`.
std::map<QString, QByteArray> ReadTree(const QString& folder);

// A program folder with empty files, empty folders, non-ASCII names (some outside the 16-bit range), a deep tree and some bytes that
// compress and some that do not. Returns its path without a trailing "/".
QString MakeSampleTree(const QString& parent);

// `size` bytes that do not compress.
QByteArray RandomBytes(qsizetype size, quint32 seed = 1);

}  // namespace pwtest
