#pragma once
// What the main window holds apart from its widgets: its folders, the program folder it scanned, what runs
// in it (a build or a try, while which every input waits) and the session it keeps. The widgets hold what
// the user types and chooses, and only they do: this holds the rest, and the rules over both.
#include "language/Session.h"
#include "project/BuildInputs.h"
#include "project/FolderScan.h"
#include "project/Poll.h"
#include "project/target/WindowsTarget.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace pw {

enum class WindowActivity { Idle, Building, Trying, Opening };

// The choices of the window's widgets that the session keeps.
struct WindowChoices {
    QString startFile;
    int compressionLevel = -1;
    int overwriteMode = -1;
    WindowsTarget target = WindowsTarget::Xp;
    QString lastOutput;
};

class WindowModel {
public:
    QString AppDir;   // ends in "/"
    QString DataDir;  // ends in "/"
    QString SourceDir;  // the program folder last scanned
    QStringList FolderEntries;
    WindowActivity activity = WindowActivity::Idle;
    // The start file of the add-on opened last; empty until one is opened.
    QString OpenedStartFile;

    bool Busy() const { return activity != WindowActivity::Idle; }

    // Whether a scan of `folder` keeps the start file `chosen`: a rescan of the folder already scanned,
    // which still holds that file, changes no choice.
    bool ScanKeepsChoice(const QString& folder, const std::optional<FolderScanResult>& scan, const QString& chosen) const;
    // The folder scanned becomes the program folder.
    void TakeScan(const QString& folder, const FolderScanResult& scan);
    // Whether the folder the user sees is not the one scanned: it must be scanned before a build.
    bool FolderPending(const QString& folderText) const;

    // The start file of a folder scanned after an add-on was opened that takes the place of the opened
    // one's, so that the add-on is made again for a new version of its program (FollowingStartFile); empty
    // when no add-on was opened, or the folder holds none or several.
    QString StartFileToFollow(const FolderScanResult& scan) const;

    // The poll's rules for this state and what the widgets show (`in` without the model's own fields).
    PollState Poll(PollInputs in) const;

    // A build's inputs with the model's part filled in; the widgets fill the rest.
    BuildInputs NewBuildInputs() const;

    // From the remembered session's restoring on, every choice it covers stores it again; before, what
    // the start-up sets is no choice of the user's, and nothing is to be stored.
    void SessionRestored() { sessionRestored_ = true; }
    std::optional<SessionSettings> SessionToKeep(const WindowChoices& choices) const;

private:
    bool sessionRestored_ = false;
};

}  // namespace pw
