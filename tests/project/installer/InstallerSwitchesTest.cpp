// The switch table: the shipped file and the built-in table agree, and a user's corrections win.
#include "support/TempDir.h"

#include "platform/CodePage.h"
#include "project/installer/InstallerSwitches.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using namespace pw;

const QString kShippedAppDir = QStringLiteral(PW_APPDIR "/");

TEST(InstallerSwitches, ShippedTableRepeatsTheBuiltInOne)
{
    ASSERT_TRUE(QFile::exists(InstallersFilePath(kShippedAppDir)));
    for (const InstallerKind kind : kAllInstallerKinds) {
        SCOPED_TRACE(InstallerSection(kind).toStdString());
        EXPECT_EQ(InstallerSwitch(kind, kShippedAppDir), BuiltInInstallerSwitch(kind));
    }
}

// The quotes inside a switch reach the command line: the profile reader drops only a pair that encloses
// the whole value.
TEST(InstallerSwitches, QuotesInsideASwitchSurvive)
{
    EXPECT_EQ(InstallerSwitch(InstallerKind::InstallShieldMsi, kShippedAppDir),
              QStringLiteral("/s /v\"/qn REBOOT=ReallySuppress\""));
}

TEST(InstallerSwitches, UnknownOffersNoSwitch)
{
    EXPECT_TRUE(InstallerSwitch(InstallerKind::Unknown, kShippedAppDir).isEmpty());
}

TEST(InstallerSwitches, UsersCorrectionsWinAndMissingKeysFallBack)
{
    pwtest::TempDir dir;
    const QString appDir = dir.path() + QLatin1Char('/');
    EXPECT_EQ(InstallerSwitch(InstallerKind::Nsis, appDir), QStringLiteral("/S"));  // no file at all
    dir.write(QStringLiteral("Installers.qmr"),
              "[nsis]\r\nSwitch = /S /NCRC \r\n[InnoSetup]\r\nNote=Inno\r\n[WixBurn]\r\nSwitch=\r\n"
              "[Wise]\r\nSwitch=/s /D=C:\\" + UnicodeToAnsi(QStringLiteral("Instalação")) + "\r\n");
    EXPECT_EQ(InstallerSwitch(InstallerKind::Nsis, appDir), QStringLiteral("/S /NCRC"));
    EXPECT_EQ(InstallerSwitch(InstallerKind::InnoSetup, appDir), BuiltInInstallerSwitch(InstallerKind::InnoSetup));
    // An empty switch is the user's word: this bundle is to get none.
    EXPECT_TRUE(InstallerSwitch(InstallerKind::WixBurn, appDir).isEmpty());
    // Texts are in the project's code page.
    EXPECT_EQ(InstallerSwitch(InstallerKind::Wise, appDir), QStringLiteral("/s /D=C:\\Instalação"));
}

}  // namespace
