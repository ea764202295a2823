// The recogniser on real installers made here and on imitations of the kinds no Debian tool makes. Every
// imitation is a tiny program of stubs/ (see its source for what it carries) plus, where the real
// installer keeps data after its image, that data laid out as the format's documents describe it.
#include "InstallerFixtures.h"

#include "platform/version/LittleEndian.h"
#include "project/installer/RecogniseInstaller.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using pw::InstallerKind;
using pw::RecogniseInstaller;
using pwtest::NamedBytes;
using pwtest::Stub;
using pwtest::TempDir;

class Recognise : public ::testing::Test {
protected:
    InstallerKind Of(const QByteArray& bytes, const QString& name = QStringLiteral("setup.exe"))
    {
        return RecogniseInstaller(dir_.write(name, bytes));
    }

    TempDir dir_;
};

TEST_F(Recognise, NsisInstallersOfEveryTarget)
{
    for (const char* target : {"x86-ansi", "x86-unicode", "amd64-unicode"}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(RecogniseInstaller(pwtest::MakeNsisInstaller(dir_, QLatin1String(target))), InstallerKind::Nsis);
    }
}

// The stub with its last section's raw data `shortenedBy` bytes shorter, so that its image ends there.
QByteArray StubEndingEarlier(int shortenedBy)
{
    QByteArray stub = Stub(QStringLiteral("Plain"));
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(stub.constData()), size_t(stub.size()));
    const size_t pe = pw::LoadLe32(bytes, 0x3C);
    const size_t lastSection = pe + 24 + pw::LoadLe16(bytes, pe + 20) + (pw::LoadLe16(bytes, pe + 6) - 1) * 40;
    const uint32_t rawSize = pw::LoadLe32(bytes, lastSection + 16) - uint32_t(shortenedBy);
    EXPECT_EQ(pw::LoadLe32(bytes, lastSection + 20) + rawSize, uint32_t(stub.size() - shortenedBy))
        << "the last section ends the file";
    for (int i = 0; i < 4; ++i)
        stub[qsizetype(lastSection) + 16 + i] = char(rawSize >> (8 * i));
    return stub.left(stub.size() - shortenedBy);
}

// The data is found at the first 512-byte boundary after the image, wherever the image ends.
TEST_F(Recognise, NsisDataAfterAnImageThatEndsOffABoundary)
{
    const QByteArray installer = pwtest::ReadAll(pwtest::MakeNsisInstaller(dir_, QStringLiteral("x86-unicode")));
    // The NSIS stub's image is a whole number of 512-byte blocks: its data starts right after it.
    const qsizetype dataAt = installer.indexOf("NullsoftInst") - 8;
    ASSERT_GT(dataAt, 0);
    const QByteArray stub = StubEndingEarlier(100);
    EXPECT_EQ(Of(stub + QByteArray(100, '\0') + installer.mid(dataAt)), InstallerKind::Nsis);
    EXPECT_EQ(Of(stub + QByteArray(104, '\0') + installer.mid(dataAt)), InstallerKind::Unknown);
}

TEST_F(Recognise, WindowsInstallerPackageOnlyUnderItsOwnExtension)
{
    const QString package = pwtest::MakeMsiPackage(dir_, QStringLiteral("Product.msi"));
    EXPECT_EQ(RecogniseInstaller(package), InstallerKind::WindowsInstaller);
    EXPECT_EQ(RecogniseInstaller(dir_.path(QStringLiteral("PRODUCT.MSI"))), InstallerKind::Unknown);  // missing
    EXPECT_EQ(Of(pwtest::ReadAll(package), QStringLiteral("PRODUCT.MSI")), InstallerKind::WindowsInstaller);
    // A compound file started as a program is no package, and text named .msi is none either.
    EXPECT_EQ(Of(pwtest::ReadAll(package), QStringLiteral("Product.exe")), InstallerKind::Unknown);
    EXPECT_EQ(Of("not a package\n", QStringLiteral("broken.msi")), InstallerKind::Unknown);
}

TEST_F(Recognise, OurSelfExtractorWithAndWithoutItsBlock)
{
    const QByteArray archive = pwtest::SevenZipArchive(dir_, {{QStringLiteral("setup.exe"), "MZ program"}});
    const QByteArray installer = pwtest::OurSelfExtractor(archive);
    if (installer.isEmpty())
        GTEST_SKIP() << "the self-extractor module has not been built";
    EXPECT_EQ(Of(installer), InstallerKind::SevenZipSfx);
    // 7-Zip's extracting modules take the archive right after the image, without a block.
    EXPECT_EQ(Of(Stub(QStringLiteral("Plain")) + archive), InstallerKind::SevenZipSfx);
    // A block that no archive follows is not enough.
    EXPECT_EQ(Of(installer.left(installer.indexOf(archive))), InstallerKind::Unknown);
}

// An archive that stores a RAR archive as its first file is still 7-Zip's, not WinRAR's.
TEST_F(Recognise, SevenZipSfxStoringARarArchive)
{
    const QByteArray rar = QByteArray("Rar!\x1A\x07\x01\x00", 8) + QByteArray(64, 'r');
    const QByteArray archive = pwtest::SevenZipArchive(dir_, {{QStringLiteral("inner.rar"), rar}}, 0);
    ASSERT_TRUE(archive.contains(rar));
    EXPECT_EQ(Of(Stub(QStringLiteral("Plain")) + archive), InstallerKind::SevenZipSfx);
}

TEST_F(Recognise, WixBurnBundleBySection)
{
    EXPECT_EQ(Of(Stub(QStringLiteral("WixBurn"))), InstallerKind::WixBurn);
}

TEST_F(Recognise, InnoSetupByItsLoaderTableOrItsData)
{
    EXPECT_EQ(Of(Stub(QStringLiteral("InnoSetup"))), InstallerKind::InnoSetup);
    // Loaders before 5.1.5 mark the DOS header; the setup data names itself.
    QByteArray oldLoader = Stub(QStringLiteral("Plain"));
    oldLoader.replace(0x30, 4, "Inno");
    EXPECT_EQ(Of(oldLoader), InstallerKind::InnoSetup);
    EXPECT_EQ(Of(Stub(QStringLiteral("Plain")) + QByteArray("Inno Setup Setup Data (5.5.7) (u)").leftJustified(64, '\0')),
              InstallerKind::InnoSetup);
}

TEST_F(Recognise, IExpressPackageByItsResources)
{
    EXPECT_EQ(Of(Stub(QStringLiteral("IExpress"))), InstallerKind::IExpress);
}

TEST_F(Recognise, MicrosoftUpdatePackages)
{
    // Since July 2004 by the installer engine its version data names.
    EXPECT_EQ(Of(Stub(QStringLiteral("MicrosoftUpdate"))), InstallerKind::MicrosoftUpdate);
    // Before, by Microsoft's cabinet self-extractor carrying Update.exe or Hotfix.exe.
    const QByteArray extractor = Stub(QStringLiteral("CabinetSelfExtractor"));
    const QByteArray update = pwtest::Cabinet(dir_, {{QStringLiteral("update/update.exe"), "MZ"},
                                                     {QStringLiteral("update/update.inf"), "[Version]"}});
    EXPECT_EQ(Of(extractor + update), InstallerKind::MicrosoftUpdate);
    const QByteArray hotfix = pwtest::Cabinet(dir_, {{QStringLiteral("Hotfix.exe"), "MZ"}});
    EXPECT_EQ(Of(extractor + hotfix), InstallerKind::MicrosoftUpdate);
    // The same self-extractor carrying another program, and a cabinet after an ordinary program, are not.
    const QByteArray other = pwtest::Cabinet(dir_, {{QStringLiteral("setup.exe"), "MZ"}});
    EXPECT_EQ(Of(extractor + other), InstallerKind::Unknown);
    EXPECT_EQ(Of(Stub(QStringLiteral("Plain")) + update), InstallerKind::Unknown);
}

// InstallShield's setup.exe stream: a header that names it, then records of the files it carries.
QByteArray InstallShieldStream(const QByteArray& fileName, const QByteArray& fileStart = "file data")
{
    return QByteArray("InstallShield", 14) + QByteArray("\x02\x00", 2) + QByteArray(12, '\0')
           + fileName.leftJustified(260, '\0') + QByteArray(40, '\0') + fileStart;
}

TEST_F(Recognise, InstallShieldClassicAndWithAPackage)
{
    const QByteArray plain = Stub(QStringLiteral("Plain"));
    EXPECT_EQ(Of(plain + InstallShieldStream("setup.inx")), InstallerKind::InstallShield);
    EXPECT_EQ(Of(plain + InstallShieldStream("Product.MSI")), InstallerKind::InstallShieldMsi);
    const QByteArray compoundFile("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    EXPECT_EQ(Of(plain + InstallShieldStream("data", compoundFile)), InstallerKind::InstallShieldMsi);
    // Later releases: "ISSetupStream" records, with names in UTF-16.
    const QByteArray wideName = QByteArray("P\0r\0o\0d\0u\0c\0t\0.\0m\0s\0i\0\0\0", 24);
    EXPECT_EQ(Of(plain + QByteArray(16, '\x7F') + "ISSetupStream" + QByteArray(8, '\0') + wideName),
              InstallerKind::InstallShieldMsi);
    // A launcher without a stream, known by its version data.
    EXPECT_EQ(Of(Stub(QStringLiteral("InstallShieldLauncher"))), InstallerKind::InstallShield);
}

// The archive opens the data after the module, with a main archive header whose CRC holds.
TEST_F(Recognise, WinRarSelfExtractorOfEitherFormat)
{
    const QByteArray plain = Stub(QStringLiteral("Plain"));
    const QByteArray rar5("Rar!\x1A\x07\x01\x00\x33\x92\xB5\xE5\x0A\x01\x05\x06\x00\x05\x01\x01\x80\x80\x00", 23);
    const QByteArray rar4("Rar!\x1A\x07\x00\xCF\x90\x73\x00\x00\x0D\x00\x00\x00\x00\x00\x00\x00", 20);
    QByteArray rar5BadCrc = rar5;
    rar5BadCrc[8] = '\x34';
    // A zip self-extractor whose first member, stored, is a RAR archive: the signature is not where
    // WinRAR's module puts its archive.
    QByteArray zip = QByteArray("PK\x03\x04", 4) + QByteArray(26, '\0') + rar5;
    const struct {
        const char* name;
        QByteArray after;
        InstallerKind kind;
    } cases[] = {
        {"RAR 5", rar5, InstallerKind::WinRarSfx},
        {"RAR 4", rar4, InstallerKind::WinRarSfx},
        {"a signature alone", rar5.left(12), InstallerKind::Unknown},
        {"a main header that fails its CRC", rar5BadCrc, InstallerKind::Unknown},
        {"a RAR archive inside a zip", zip, InstallerKind::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Of(plain + c.after), c.kind) << c.name;
}

// The window class's name, and the data the installer carries after its image.
TEST_F(Recognise, WiseInstallerByItsMarkerAndItsData)
{
    const QByteArray wise = Stub(QStringLiteral("Wise"));
    const QByteArray data = QByteArray("\x0C") + "WISE0001.DLL" + QByteArray(4096, '\x5A');
    EXPECT_EQ(Of(wise + data), InstallerKind::Wise);
    EXPECT_EQ(Of(wise), InstallerKind::Unknown) << "the marker alone";
    const QByteArray withSymbols = Stub(QStringLiteral("WiseMarkerWithSymbols"));
    ASSERT_FALSE(withSymbols.isEmpty());
    EXPECT_EQ(Of(withSymbols), InstallerKind::Unknown) << "a symbol table after the image is no payload";
}

TEST_F(Recognise, UnknownForWhatIsNoKnownInstaller)
{
    const QByteArray plain = Stub(QStringLiteral("Plain"));
    EXPECT_EQ(Of(plain), InstallerKind::Unknown);
    EXPECT_EQ(Of(plain + QByteArray(4096, 'x')), InstallerKind::Unknown);
    EXPECT_EQ(Of("@echo off\r\nsetup.exe /S\r\n", QStringLiteral("install.cmd")), InstallerKind::Unknown);
    EXPECT_EQ(Of(QByteArray()), InstallerKind::Unknown);
    EXPECT_EQ(RecogniseInstaller(dir_.path(QStringLiteral("missing.exe"))), InstallerKind::Unknown);
    EXPECT_EQ(RecogniseInstaller(dir_.mkdir(QStringLiteral("folder.exe"))), InstallerKind::Unknown);
}

// Cut anywhere (in the DOS header, the PE header, the section table, a section), an installer is no
// longer what it was, and nothing reads past the end.
TEST_F(Recognise, TruncatedImagesAreUnknown)
{
    const QByteArray burn = Stub(QStringLiteral("WixBurn"));
    for (const qsizetype size : {qsizetype(2), qsizetype(0x3E), qsizetype(0x90), qsizetype(0x190), qsizetype(0x200),
                                 burn.size() - 1}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(Of(burn.left(size)), InstallerKind::Unknown);
    }
}

// A named pipe is never opened: opening one waits for a writer.
TEST_F(Recognise, NamedPipeIsNotOpened)
{
    const QString pipe = dir_.path(QStringLiteral("setup.exe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(RecogniseInstaller(pipe), InstallerKind::Unknown);
}

}  // namespace
