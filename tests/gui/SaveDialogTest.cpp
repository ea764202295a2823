// The save dialog of "Criar arquivo" opens where it is told to, on the name it is told to offer, and
// that name follows the kind of output the user picks.
#include "gui/QtDialogs.h"
#include "support/TempDir.h"
#include "support/TestApplication.h"

#include <QFileDialog>

#include <gtest/gtest.h>

using namespace pw;

TEST(SaveDialog, OffersTheSuggestedNameInTheSuggestedFolderWithTheExtensionOfTheKindChosen)
{
    pwtest::TestApplication();
    pwtest::TempDir dir;
    const QString folder = dir.mkdir("out").chopped(1);
    QFileDialog dialog;
    PrepareSaveDialog(dialog, {folder, QStringLiteral("My Tool")});
    EXPECT_EQ(dialog.directory().absolutePath(), folder);
    EXPECT_EQ(dialog.selectedFiles(), QStringList{folder + QStringLiteral("/My Tool.cab")});
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("cab"));

    dialog.selectNameFilter(QStringLiteral("7-Zip Archive (*.7z)"));
    emit dialog.filterSelected(QStringLiteral("7-Zip Archive (*.7z)"));
    EXPECT_EQ(dialog.selectedFiles(), QStringList{folder + QStringLiteral("/My Tool.7z")});
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("7z"));

    // A name of the user's own keeps its extension.
    dialog.selectFile(QStringLiteral("notes.txt"));
    emit dialog.filterSelected(QStringLiteral("Microsoft Cabinet (*.cab)"));
    EXPECT_EQ(dialog.selectedFiles(), QStringList{folder + QStringLiteral("/notes.txt")});
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("cab"));
}
