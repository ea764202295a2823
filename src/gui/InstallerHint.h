#pragma once
// The General page's word on the chosen start file's installer: its kind beside the switch field, and
// its silent switch offered in that field (with the catalogue entry that holds the same switch) when
// the field is empty; beside the kind, what would keep it from running on the disc's Windows.
#include "project/installer/InstallerKind.h"
#include "project/target/TargetCheck.h"

#include <QString>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace pw {

class WindowModel;
struct BuildTexts;

// The widgets the hint reads and writes.
struct InstallerHintView {
    QLabel& kind;
    QLabel& warnings;  // how many the disc's Windows gives, with them as tooltip
    QLineEdit& switchField;
    QComboBox& switches;  // the catalogue's entries
};

// What the hint is about: the start file chosen (empty for none) in the model's program folder.
struct HintSubject {
    const WindowModel& model;
    QString startFile;
    WindowsTarget target;
    const BuildTexts& texts;
};

class InstallerHint {
public:
    explicit InstallerHint(const InstallerHintView& view) : view_(view) {}

    // For the start file now chosen (none after a scan). A switch this put into the field for an earlier
    // start file, and which the field still holds, belongs to that file's installer: it makes way, as the
    // descriptive fields of the earlier file's version data do. Throws UserError when the catalogue
    // cannot be read.
    void StartFileChosen(const HintSubject& subject);
    // The switch in the field is a choice (an opened add-on's), no longer one an installer offered: no
    // start file chosen later takes it away. The catalogue's entry that holds it is shown.
    void KeepSwitch(const HintSubject& subject);
    // Checks the chosen start file against the Windows chosen in the window, after a change of either.
    void CheckTarget(const HintSubject& subject);
    // Names the kind found for the start file, and the count of the target's warnings, in the window's
    // language, after a change of language too.
    void ShowKind(const HintSubject& subject) const;

private:
    InstallerHintView view_;
    QList<TargetFinding> findings_;      // for the start file and the Windows now chosen
    QString offered_;                   // the switch last put into the field; empty when none was
    std::optional<InstallerKind> kind_;  // none for a start file that is no .exe, or none chosen
};

}  // namespace pw
