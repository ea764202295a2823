#pragma once
// The generated folder the benchmarks pack and unpack: about 200 MB of prose, noise, data that is
// compressed already, thousands of small files in nested folders, and small executables.
#include <QString>

void MakeCorpus(const QString& root);
// Total size of the files below root.
qint64 FolderBytes(const QString& root);
