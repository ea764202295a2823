#pragma once
// The throwaway Wine prefix a try runs in: a home of its own beside it, Wine's own messages off, no Mono or
// Gecko installer (each would ask with a window), no menu entries written into the user's desktop, and
// nothing of this machine reachable through it: the drive that maps "/" and the links of the user's
// folders into the home are cut, so what the add-on writes stays inside the prefix.
#include "project/target/WindowsTarget.h"
#include "tryout/ChildRun.h"
#include "tryout/HostTools.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

namespace pw {

enum class WineArch {
    Win32,  // as Windows XP, where add-ons run: the add-on's i686 programs run as they are
    Win64,  // where Wine runs only 64-bit programs
};

// The Windows a prefix of `arch` imitates for an add-on made for `target`.
WindowsTarget ImitatedWindows(WindowsTarget target, WineArch arch);

// The environment every Wine program of a prefix gets: `base` without whatever would lead Wine elsewhere
// (another prefix, the user's display, desktop or configuration folders), with a UTF-8 locale so that the
// command lines Wine is given reach Windows unchanged.
QProcessEnvironment WineEnvironment(const QProcessEnvironment& base, const QString& prefix, const QString& home,
                                    WineArch arch);

class WinePrefix {
public:
    // The prefix lives in `root`/prefix, its home in `root`/home.
    WinePrefix(const QString& root, WineArch arch, const TryTools& tools);

    // Makes the prefix as a copy of the prepared prefix in `cache` for this Wine, this architecture and the
    // Windows Wine calls `wineName` ("winxp"), preparing that first when it is missing. Returns how that
    // ended; `error` says why it failed.
    RunEnd Make(const QString& cache, const QString& wineName, TryUi& ui, QString* error);
    // Makes the prefix with wineboot, has its programs see the Windows `wineName` and cuts its links to
    // this machine.
    RunEnd MakeFresh(const QString& wineName, TryUi& ui, QString* error);
    // Starts the prefix's server again for the run, after Make() has ended it.
    bool StartServer();
    // The server has named its folder in the prefix and listens there.
    bool ServerListening() const;
    // Ends every process of the prefix and waits until its server has saved the registry. Once is enough
    // until Running() says that programs run in it again.
    void EndAll();
    void Running() { ended_ = false; }

    // Without a display the prefix's programs can show no window.
    QProcessEnvironment Environment(const QString& display = {}, const QString& authority = {}) const;
    QString loader() const;
    QString prefix() const { return root_ + QStringLiteral("/prefix"); }
    QString driveC() const { return prefix() + QStringLiteral("/drive_c"); }
    // What Wine and its server print, for the report when Wine fails.
    QString logFile() const { return root_ + QStringLiteral("/wine.log"); }
    // The Unix temporary folder (TMPDIR) of the prefix's processes.
    QString temporaryFolder() const { return root_ + QStringLiteral("/tmp"); }

private:
    RunEnd EndServer(TryUi* ui);
    bool SetWindowsVersion(const QString& wineName) const;
    void CutLinks() const;

    QString root_;
    WineArch arch_;
    TryTools tools_;
    bool ended_ = false;
    QProcess server_;
};

}  // namespace pw
