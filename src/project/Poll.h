#pragma once
// The rules the main window's poll applies on every tick: the only place (with the "Compactar com 7-Zip"
// click) where its enabled and visible states are set. The window ticks whenever one of the inputs may
// have changed: a scan, a choice, a click, a build or a try starting or ending, a change in the program
// folder, and once a second for changes no notice reports.
#include <QString>

namespace pw {

struct PollInputs {
    bool folderEntriesEmpty = true;
    QString sourceDir;
    QString startFile;       // text of Programa
    bool busy = false;       // a build or a try runs
    bool compact = true;
    bool shortcutSelected = false;
    int shortcutCount = 0;
};

struct PollState {
    // Every input a build or a try reads and that no rule below governs, and "Testar": while either
    // runs, none of them changes under it, nor starts another.
    bool inputsEnabled = true;
    // "Entries" and "Idiomas"; "Opções do SFX" follows sfxTabVisible.
    bool pagesVisible = true;
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
