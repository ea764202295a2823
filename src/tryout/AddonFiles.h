#pragma once
// The add-on's own files: the cabinet taken apart, the entries file at its top and the commands of its
// [AddProgram] section, which nLite adds to what Windows setup runs.
#include "tryout/TryTexts.h"

#include <QString>
#include <QStringList>

namespace pw {

class TryUi;
struct TryTools;

// Takes `cabinet` apart into `folder` with 7-Zip. Returns why it could not, or an empty text.
QString UnpackCabinet(const TryTools& tools, const QString& cabinet, const QString& folder, TryUi& ui,
                      const TryTexts& texts);

struct AddonEntries {
    QString file;       // the entries file's name, at the top of the add-on
    QStringList lines;  // the commands of [AddProgram], in order
    QString error;      // why there are none
};

// Reads the entries file at the top of `folder` (in the system's code page) and its [AddProgram] lines.
AddonEntries ReadEntries(const QString& folder, const TryTexts& texts);

// Moves everything of `folder` except the entries file into `target` (created when missing), as nLite
// lays an add-on out under I386 of the installation source, beside the add-ons laid out before it. Returns
// false when something did not move.
bool LayOut(const QString& folder, const QString& entriesFile, const QString& target);

}  // namespace pw
