// What the window and the command line offer for a start file: only an .exe is recognised, the offer
// takes the table of AppDir, and an .exe with nothing but blanks for a switch counts as having none.
#include "InstallerFixtures.h"

#include "project/installer/InstallerOffer.h"

#include <gtest/gtest.h>

namespace {

using namespace pw;

const QString kShippedAppDir = QStringLiteral(PW_APPDIR "/");

TEST(InstallerOffer, AnExeOfAKnownKindGetsItsKindAndSwitch)
{
    pwtest::TempDir dir;
    const std::optional<InstallerOffer> nsis =
        OfferFor(pwtest::MakeNsisInstaller(dir, QStringLiteral("x86-unicode")), kShippedAppDir);
    ASSERT_TRUE(nsis);
    EXPECT_EQ(nsis->kind, InstallerKind::Nsis);
    EXPECT_EQ(nsis->silentSwitch, QStringLiteral("/S"));

    // The extension is compared without case, as Windows compares it.
    const std::optional<InstallerOffer> inno = OfferFor(dir.write("SETUP.EXE", pwtest::Stub("InnoSetup")), kShippedAppDir);
    ASSERT_TRUE(inno);
    EXPECT_EQ(inno->kind, InstallerKind::InnoSetup);

    const std::optional<InstallerOffer> plain = OfferFor(dir.write("tool.exe", pwtest::Stub("Plain")), kShippedAppDir);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->kind, InstallerKind::Unknown);
    EXPECT_TRUE(plain->silentSwitch.isEmpty()) << "nothing is known to silence it";
}

TEST(InstallerOffer, OnlyAnExeIsLookedAt)
{
    pwtest::TempDir dir;
    // An NSIS installer under another start-file extension is not offered a switch: the runner of that
    // extension, not the installer, reads the switch.
    const QByteArray nsis = pwtest::ReadAll(pwtest::MakeNsisInstaller(dir, QStringLiteral("x86-unicode")));
    for (const char* name : {"setup.com", "setup.bat", "setup.inf", "setup.msi", "setup.exe.txt"})
        EXPECT_FALSE(OfferFor(dir.write(name, nsis), kShippedAppDir)) << name;
}

TEST(InstallerOffer, AUsersCorrectedTableIsOffered)
{
    pwtest::TempDir dir;
    dir.write("app/Installers.qmr", "[InnoSetup]\r\nSwitch=/SILENT\r\n");
    const std::optional<InstallerOffer> inno =
        OfferFor(dir.write("setup.exe", pwtest::Stub("InnoSetup")), dir.path("app/"));
    ASSERT_TRUE(inno);
    EXPECT_EQ(inno->silentSwitch, QStringLiteral("/SILENT"));
}

TEST(InstallerOffer, AnExeWithoutASwitchLacksOne)
{
    EXPECT_TRUE(LacksSilentSwitch(QStringLiteral("Setup.EXE"), QString()));
    EXPECT_TRUE(LacksSilentSwitch(QStringLiteral("setup.exe"), QStringLiteral("  \t")));
    EXPECT_FALSE(LacksSilentSwitch(QStringLiteral("setup.exe"), QStringLiteral("/S")));
    // These run through a runner that silences them, or take no switch at all.
    for (const char* name : {"setup.msi", "install.bat", "driver.inf", "tool.com"})
        EXPECT_FALSE(LacksSilentSwitch(QString::fromLatin1(name), QString())) << name;
}

}  // namespace
