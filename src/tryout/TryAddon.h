#pragma once
// Trying an add-on before it goes on a disc: the cabinet is taken apart, laid out as nLite lays it out
// (C:\I386\svcpack\...) in a throwaway Wine prefix with its own home, and its [AddProgram] line runs as
// Windows setup runs it, on a private virtual display, under a time limit. What the run did (its exit code,
// the windows it showed, what it installed and what it left behind) comes back as a result and a report
// folder. The command line's --try and the window's "Testar" button share this; neither prints here.
#include "project/target/WindowsTarget.h"
#include "tryout/HostTools.h"
#include "tryout/TryTexts.h"

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
    TryTools tools;              // where Wine, Xvfb and 7-Zip are; FindTryTools() by default
    TryTexts texts;
};

// What a person sees of a try and how they stop it. The window implements it with its status line and a
// stop key, the command line with the terminal and Ctrl+C.
class TryUi {
public:
    virtual ~TryUi() = default;
    // Each step as it starts.
    virtual void setStatus(const QString& text) = 0;
    // Asked about ten times a second while the try runs (the window may handle its pending events
    // here); true ends the try, which then removes everything it had made.
    virtual bool cancelRequested() { return false; }
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

TryResult TryAddon(const TryOptions& options, TryUi& ui);

}  // namespace pw
