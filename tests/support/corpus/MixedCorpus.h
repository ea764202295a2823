#pragma once
// A generated corpus like the program folders an add-on is made from, for the benchmarks and for the
// tests that pass big cabinets through the independent readers. Nothing of it is kept in the repository:
// the same seed gives the same bytes on every run (but for the programs the 200 MB one copies).
#include <QString>

namespace pwcorpus {

// About 300 MB under `root`: text of several shapes, numbers one to a line, program-like binaries,
// incompressible data and 12,000 small files in 120 folders. Throws std::runtime_error when a file cannot
// be written.
void MakeMixedCorpus(const QString& root);

// About 200 MB under `root`, what the 7z benchmarks pack and unpack: a start file "setup.exe" at its top,
// prose, noise, data that is compressed already, 4,000 small files in nested folders, and some of this
// machine's own programs.
void MakeArchiveCorpus(const QString& root);

// Total size of the files below `root`.
qint64 FolderBytes(const QString& root);

}  // namespace pwcorpus
