#pragma once
// The rules the main window's poll applies on every tick: the only place (with the "Compactar com 7-Zip"
// click and a running build) where these enabled and visible states are set. The window ticks whenever
// one of the inputs may have changed: a scan, a choice, a click, a build starting or ending, a change in
// the program folder, and once a second for changes no notice reports.
#include <QString>

namespace pw {

struct PollInputs {
    bool folderEntriesEmpty = true;
    QString sourceDir;
    QString startFile;       // text of Programa
    bool busy = false;
    bool compact = true;
    bool shortcutSelected = false;
    int shortcutCount = 0;
};

struct PollState {
    bool criaEnabled = false;
    bool comprLevEnabled = false;
    bool sfxTabVisible = false;
    bool silCommEnabled = false;
    bool silStrEnabled = false;
    bool removeShortcutEnabled = false;
    bool clearShortcutsEnabled = false;
    // Why "Criar arquivo" is disabled when what it needs has gone since the folder was scanned.
    bool folderGone = false;     // the program folder itself
    bool startFileGone = false;  // the chosen start file, in a folder that is still there
};

PollState EvaluatePoll(const PollInputs& in);

// True when `path` names an existing file (a folder does not count).
bool FileExists(const QString& path);

}  // namespace pw
