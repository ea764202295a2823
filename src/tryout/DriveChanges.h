#pragma once
// What a run added to drive C: of the prefix, from a listing of its files before and after: the files an
// installer put in place, the shortcuts it made and what it left in the temporary folder.
#include <QSet>
#include <QString>
#include <QStringList>

namespace pw {

// Every file below `root`, by its path relative to it ("/" between parts). Links are listed, not followed.
using TreeSnapshot = QSet<QString>;
TreeSnapshot SnapshotTree(const QString& root);

struct DriveChanges {
    QStringList files;      // "C:\Program Files\...": added outside the temporary folder
    QStringList shortcuts;  // the .lnk files among them, listed here instead
    QStringList temp;       // added in the temporary folder, relative to it
};

// The files in `after` that `before` lacks. `temp` is the temporary folder's path relative to the drive;
// `ownLog`, a file name there, is the add-on's own log, which stays by design.
DriveChanges AddedFiles(const TreeSnapshot& before, const TreeSnapshot& after, const QString& temp,
                        const QString& ownLog);

// The temporary folder of the prefix's user, relative to its drive C: ("users/NAME/Temp").
QString TempFolder(const QString& driveC);

}  // namespace pw
