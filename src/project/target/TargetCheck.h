#pragma once
// Whether a start file can run on the Windows of the disc: what would keep the target's loader from
// starting it, or what it needs that the target does not bring. Read from the file's headers alone.
#include "project/target/WindowsTarget.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace pw {

struct TargetFinding {
    enum class Kind {
        NotAProgram,        // an .exe or .com the loader refuses outright: empty, cut short, not a program
        Machine,            // details: the processor the image is for ("x86-64", "DOS")
        SubsystemVersion,   // details: the Windows version the image asks for ("6.0")
        MissingLibraries,   // details: the libraries the target does not have
        MissingFunctions,   // details: "Function (library)" for each function the target lacks
        InstallerDownload,  // details: the Windows Installer version a package needs, a separate download
        InstallerMissing,   // details: the Windows Installer version a package needs, none for the target
        DotNet,             // details: the .NET runtime version the program asks for ("v4.0.30319")
    };
    Kind kind;
    QStringList details;

    bool operator==(const TargetFinding&) const = default;
};

// The findings for the start file at `path` on `target`, with the table of system functions in
// `appDir` (without it, imported functions are not looked at). Empty when nothing stands in the way,
// and for a file that is neither a program (.exe, .com) nor a Windows Installer package, or cannot be
// read.
QList<TargetFinding> CheckTarget(const QString& path, WindowsTarget target, const QString& appDir);

}  // namespace pw
