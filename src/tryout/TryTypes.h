#pragma once
// What a try is given, what it tells the person who asked for it, and what it found: shared by the steps
// of a try and by the window and the command line that start one.
#include "project/target/WindowsTarget.h"
#include "tryout/HostTools.h"
#include "tryout/TryTexts.h"
#include "tryout/TryUi.h"

#include <QString>
#include <QStringList>

namespace pw {

struct TryOptions {
    QString addon;               // the cabinet to try
    QString appDir;              // AppDir: tryrun.exe and the i686 programs, their x86-64 builds in x86_64/
    QString reportParent;        // the report folder is made in this folder; empty: the current folder
    QString scratchParent;       // the prefix and the add-on's files live here while the try runs; empty: the
                                 // system's temporary folder
    int timeLimitSeconds = 600;  // the run is ended after this long
    int windowLimitSeconds = 5;  // a window visible this long ends the run: it waits for someone
    bool allow32BitWine = true;  // false: try as on a host whose Wine runs only 64-bit programs
    WindowsTarget target = WindowsTarget::Xp;  // the disc's Windows, which the prefix imitates
    bool strict = false;         // an add-on that installed nothing fails
    QString prefixCache;         // where the prepared prefixes are kept; empty: DefaultPrefixCache()
    TryTools tools;              // where Wine, Xvfb and 7-Zip are; FindTryTools() by default
    TryTexts texts;
};

// The exit status of a try, as the command line ends with it.
enum class TryVerdict {
    InstalledSilently = 0,
    Failed = 1,     // failed, timed out, waited on a window, or stopped
    Usage = 2,      // the options cannot work: no such add-on, a limit below one second
    CannotTry = 3,  // this machine lacks what the try needs; the reason says how to get it
};

struct SeenWindow {
    QStringList titles;         // every title it showed, in order; empty when it had none
    double visibleSeconds = 0;  // the longest time it stayed on the display without a break
};

struct TryResult {
    QString addon;  // the cabinet tried
    TryVerdict verdict = TryVerdict::Failed;
    QString reason;  // why it failed or could not try; empty when it installed silently
    QString verdictText;  // the verdict of a run that ended, as the report's "Result" line says it
    bool cancelled = false;
    bool timedOut = false;
    bool waitedOnWindow = false;
    QString inputWaiter;        // "NAME (PID)": the line's process that waited for a key; empty when none
    bool ran = false;              // the lines were started in the prefix
    QStringList lines;             // the [AddProgram] lines, run in this order
    QList<qint64> exitCodes;       // of each line that ran to its end, all 32 bits
    qint64 startError = 0;         // the Windows error that kept a line from starting, or 0
    QString startErrorText;        // Wine's text for it
    WindowsTarget imitated = WindowsTarget::Xp;  // the Windows the prefix said it was
    bool installedNothing = false;  // the lines succeeded, but added no file, registry value or shortcut
    double seconds = 0;            // how long the run took
    QStringList replacedPrograms;  // the add-on's programs that ran as their x86-64 builds
    QList<SeenWindow> windows;
    QStringList screenshots;    // PNG files in the report folder
    QStringList processesLeft;  // still running when the lines had ended or the run was ended, with their parents
    QStringList filesAdded;     // Windows paths, "C:\..."
    QStringList registryAdded;  // "HKLM\Software\...: NAME = DATA"
    QStringList shortcuts;      // the .lnk files made, Windows paths
    QStringList tempLeft;       // what stayed in %TEMP%, relative to it
    QString reportFolder;       // empty when no report was written
    QString summary;            // the report as text, for the caller to show

    int exitStatus() const { return int(verdict); }
};

}  // namespace pw
