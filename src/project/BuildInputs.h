#pragma once
// What a build reads from the main window, taken once when "Criar arquivo" is clicked, and the state
// fields the build sets.
#include "project/EntriesText.h"
#include "project/ShortcutEntry.h"

#include <QList>
#include <QString>

namespace pw {

struct BuildInputs {
    QString appDir;            // program folder, ends in "/"
    QString dataDir;           // working folder, ends in "/"
    QString sourceDir;         // the add-on's program folder as last scanned
    QString folderText;        // the folder the user sees (text of Pasta): a build runs only when it is sourceDir
    QString startFile;         // bare name of the start file inside sourceDir
    QString silentSwitch;      // text of SilStr
    bool compact = true;       // "Compactar com 7-Zip"
    int compressionLevel = 0;  // ComprLev index 0..4, -1 when nothing is selected
    int overwriteMode = 0;     // OverCb index 0..2
    QList<ShortcutEntry> shortcuts;
    QString entriesText;       // whole text of the Entries memo
    DescriptiveFields fields;  // the six fields the memo's "[General]" keys were made from

    QString tempDir() const { return dataDir + QStringLiteral("temp/"); }
    QString startFilePath() const { return sourceDir + QLatin1Char('/') + startFile; }
};

}  // namespace pw
