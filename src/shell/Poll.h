#pragma once
// The rules the main window's 1 ms poll applies on every tick: the only place (with the "Compactar com
// 7-Zip" click and a running build) where these enabled and visible states are set.
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
};

PollState EvaluatePoll(const PollInputs& in);

// True when `path` names an existing file (a folder does not count).
bool FileExists(const QString& path);

}  // namespace pw
