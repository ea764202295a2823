#pragma once
// The file a command line starts with, found as the add-on's own programs find it: a quoted first argument,
// or else the longest run of words that names a file ("my setup.exe /S" names "my setup.exe" although
// nobody quoted it), or else the first word.
#include <QString>

#include <functional>

namespace pw {

struct CommandFile {
    QString file;
    QString rest;        // what follows it, without the blanks between
    bool known = false;  // isFile accepted it
};

CommandFile LeadingFile(const QString& command, const std::function<bool(const QString&)>& isFile);

}  // namespace pw
