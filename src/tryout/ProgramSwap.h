#pragma once
// Where Wine runs only 64-bit programs, an add-on still tries: its copies of our own i686 programs (the
// self-extractor's module, the runners, at the top of the add-on or of the self-extractor's archive) are
// exchanged for the x86-64 builds of the same sources that AppDir holds in x86_64/. Only files that are
// byte for byte this program's i686 builds are exchanged: a file of the user's own of the same name stays.
// The start file is the add-on's own program; if it is 32-bit, the try cannot run here; if it is x86-64,
// a 32-bit Windows cannot run it.
#include <QString>
#include <QStringList>

namespace pw {

class TryUi;
struct TryTools;

struct ProgramSwap {
    QStringList replaced;  // what ran as its x86-64 build: "msistub.exe", "Setup.exe (7zS.sfx)"
    QString needs32Bit;    // the 32-bit program a line starts, as the line names it; empty when none
    QString is64Bit;       // the x86-64 program a line starts, as the line names it; empty when none
    QString error;         // 7-Zip could not read or update a self-extractor's archive
};

// Exchanges the programs in `folder` (where the lines run) that `lines` start; `work` is a scratch folder.
// Without `exchange` it only finds the start files' kinds (needs32Bit, is64Bit) and changes nothing.
ProgramSwap UseX86_64Programs(const QString& folder, const QStringList& lines, const QString& appDir,
                              const QString& work, const TryTools& tools, TryUi& ui, bool exchange = true);

// The file `name` (parts separated by "\" or "/") in `folder`, its case ignored as Windows ignores it;
// empty when there is none.
QString FindNoCase(const QString& folder, const QString& name);

}  // namespace pw
