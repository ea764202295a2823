#pragma once
// The General page's word on the chosen start file's installer: its kind beside the switch field, and
// its silent switch offered in that field (with the catalogue entry that holds the same switch) when
// the field is empty.
#include <QString>

namespace pw {

class TMainForm;

class InstallerHint {
public:
    // For the start file now chosen in `form` (none after a scan). A switch this put into the field for
    // an earlier start file, and which the field still holds, belongs to that file's installer: it makes
    // way, as the descriptive fields of the earlier file's version data do. Throws UserError when the
    // catalogue cannot be read.
    void StartFileChosen(TMainForm& form);

private:
    QString offered_;  // the switch last put into the field; empty when none was
};

}  // namespace pw
