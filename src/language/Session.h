#pragma once
// What the window remembers of the last session, kept in the settings file "config.qmr" beside the
// chosen language, under keys of its own in "Main" that an older file does not hold.
#include "project/target/WindowsTarget.h"

#include <QString>

#include <optional>

namespace pw {

// What the window starts with again: the program folder and its start file, the last output (whose
// folder the save dialog opens in), the compression level, the overwrite mode and the disc's Windows.
// Empty texts, -1 and nullopt mean "nothing remembered".
struct SessionSettings {
    QString programFolder;
    QString startFile;
    QString lastOutput;
    int compressionLevel = -1;
    int overwriteMode = -1;
    std::optional<WindowsTarget> target;
};

// The remembered session; a missing key, or a number out of its list's range, is nothing remembered.
SessionSettings ReadSessionSettings(const QString& dataDir);

// Stores the session beside the language, leaving every other line of the file as it was. A folder or
// file name the settings file's code page cannot hold is stored empty rather than as another name.
// Returns false when the file cannot be written.
bool WriteSessionSettings(const QString& dataDir, const SessionSettings& session);

}  // namespace pw
