#pragma once
// What a person sees and answers during a build. The main window implements it with its widgets and
// Qt's dialogs; the command-line front end with the terminal; tests with a recorder.
#include "dialogs/MessageKind.h"
#include "dialogs/SaveChoice.h"

#include <QString>

#include <optional>

namespace pw {

// The progress bar's scale, which the window's bar and the terminal's share: it rests at kProgressIdle,
// packing moves it from kProgressPackingStart to kProgressPacked, the entries file takes it to
// kProgressEntriesWritten, the cabinet moves it on from there through the positions between, and a build
// that made its file takes it to kProgressEnd, the bar's last position.
inline constexpr int kProgressIdle = 0;
inline constexpr int kProgressPackingStart = 1;
inline constexpr int kProgressPacked = 101;
inline constexpr int kProgressEntriesWritten = 102;
inline constexpr int kProgressEnd = 103;

// How far the step under way at `position` has come, 0 to 100. Packing fills nearly the whole scale and
// the cabinet only its last position, so a bar over the whole build would sit still while a large cabinet
// is written: what a view shows as a percentage is the step's own.
int StepPercent(double position);

class BuildUi {
public:
    using SaveChoice = pw::SaveChoice;

    virtual ~BuildUi() = default;

    // Filter "Microsoft Cabinet (*.cab)|*.cab|7-Zip Archive (*.7z)|*.7z", default extension ".cab".
    virtual std::optional<SaveChoice> askSaveFile(const SaveSuggestion& suggestion) = 0;
    virtual void setStatus(const QString& text) = 0;
    // A position on the scale above; the cabinet step's positions lie between two whole ones.
    virtual void setProgress(double position) = 0;
    virtual void processEvents() = 0;
    virtual void showMessage(const QString& text, MessageKind kind) = 0;
    // The message of a build that made `file`; a window may offer to open its folder.
    virtual void showSuccess(const QString& text, const QString& file)
    {
        Q_UNUSED(file);
        showMessage(text, MessageKind::Information);
    }
    // Start and end of a build: hourglass cursor, and the pages other than "Geral" and "Sobre" hidden while
    // `building`.
    virtual void setBuilding(bool building) = 0;
    // Asked now and then while the folder is packed: true stops the packing, and the build ends silently.
    virtual bool cancelRequested() { return false; }
    // The key that stops the build, named in the status line while the folder is packed and while the
    // cabinet is written; empty when there is none.
    virtual QString stopKey() const { return {}; }
};

struct BuildTexts;

// What the status line adds to a step that `key` stops: "  (press Esc to stop)"; empty without a key.
QString StopHint(const BuildTexts& texts, const QString& key);

}  // namespace pw
