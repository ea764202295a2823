#pragma once
// The kinds of start file an add-on can run, told apart by extension (compared in lower case): which
// files are offered as start files, which take the silent-install switch, and which run through a
// runner program that ships beside Packwright and goes into the add-on beside the start file. Every
// rule about start-file kinds reads this one table.
#include <QString>

namespace pw {

struct Runner {
    QString program;    // its file in AppDir and in the add-on: "msistub.exe"
    QString word;       // how the self-extractor's run command names it: "msistub"
    QString arguments;  // put after the start file and its switch, leading blank included: " /qb-!"
    // Put after those in the self-extractor's run command only: " hidcon", which hides the console window
    // that the module, itself a window program, would otherwise open for cmd.
    QString selfExtractorArguments;
    bool throughCmd;    // the start file is run by cmd, which expands "%...%" in its name
};

struct StartFileKind {
    QString extension;     // ".msi"
    bool takesSwitch;      // the switch field is enabled, and its text is used in the run command
    const Runner* runner;  // nullptr for a program that runs by itself
};

// The kind of `startFile` by its extension; nullptr when that is not one of ".exe", ".com", ".msi",
// ".bat", ".cmd" and ".inf".
const StartFileKind* StartFileKindOf(const QString& startFile);

// The runner program of `startFile`, or nullptr.
const Runner* RunnerOf(const QString& startFile);

// True when `startFile` takes the silent-install switch.
bool TakesSilentSwitch(const QString& startFile);

}  // namespace pw
