#include "TestPrograms.h"

#include "AddonStand.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QUuid>

#include <gtest/gtest.h>

namespace pwtest {
namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

QByteArray NoiseBytes(int size)
{
    QRandomGenerator generator(20240601);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.generate());
    return bytes;
}

// What every folder holds beside its start file: text the packer compresses, noise it cannot, a sub-folder
// two levels deep, a name with characters outside the Basic Multilingual Plane, an empty file and an empty
// folder.
void WriteCommonFiles(const QString& folder)
{
    WriteFile(folder + QStringLiteral("/readme.txt"),
              QByteArray("Line of a read-me that repeats, as read-me files do.\r\n").repeated(1000));
    WriteFile(folder + QStringLiteral("/empty.dat"), {});
    WriteFile(folder + QStringLiteral("/sub/deeper/data.bin"), NoiseBytes(300 * 1024));
    WriteFile(folder + QStringLiteral("/Ünïcødé 日本 😀.txt"), "named outside the BMP\r\n");
    QDir().mkpath(folder + QLatin1Char('/') + kEmptyFolder);
}

// A batch file that hands its arguments to the recorder and ends with the recorder's exit code.
const QByteArray kBatchFile = "@echo off\r\n\"%PW_TEST_RECORDER%\" %*\r\nexit /b %ERRORLEVEL%\r\n";

QByteArray InfFile(const QString& caseName)
{
    return QStringLiteral(
               "[Version]\r\n"
               "Signature=\"$Windows NT$\"\r\n\r\n"
               "[DefaultInstall]\r\n"
               "CopyFiles=Test.Files\r\n"
               "AddReg=Test.Registry\r\n\r\n"
               "[DestinationDirs]\r\n"
               "Test.Files=11\r\n\r\n"
               "[Test.Files]\r\n"
               "%1\r\n\r\n"
               "[Test.Registry]\r\n"
               "HKLM,\"Software\\Packwright tests\",\"%2\",0,\"%3\"\r\n\r\n"
               "[SourceDisksNames]\r\n"
               "1=\"Packwright test files\"\r\n\r\n"
               "[SourceDisksFiles]\r\n"
               "%1=1\r\n")
        .arg(InfCopiedFile(caseName), InfRegistryValue(caseName),
             QString::fromUtf8(InstalledContent(caseName)).trimmed())
        .toLatin1();
}

void WriteMsiPackage(const QString& msi, const QString& caseName)
{
    // Outside the program folder: only the package goes into the add-on. wixl takes sources relative to the
    // folder it runs in.
    const QString payloadFolder = QDir::cleanPath(QFileInfo(msi).absolutePath() + QStringLiteral("/.."));
    WriteFile(payloadFolder + QStringLiteral("/msi-payload.txt"), InstalledContent(caseName));
    auto code = [] { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); };
    const ToolRun wixl = RunIn(payloadFolder, QStringLiteral(PW_WIXL),
                               {QStringLiteral("-D"), QStringLiteral("ProductCode=") + code(), QStringLiteral("-D"),
                                QStringLiteral("ComponentCode=") + code(), QStringLiteral("-D"),
                                QStringLiteral("Folder=Packwright test ") + caseName, QStringLiteral("-D"),
                                QStringLiteral("Payload=msi-payload.txt"), QStringLiteral("-o"), msi,
                                QStringLiteral(PW_TEST_PACKAGE_WXS)});
    ASSERT_TRUE(wixl.ok) << wixl.output.toStdString();
}

// The installer's script: the payload files from `source` into a folder under Program Files, a registry
// value, and a shortcut for all users, as per-machine installers do.
QByteArray NsisScript(const QString& source, const QString& installer, const QString& caseName)
{
    const auto windows = [](QString path) { return path.replace(QLatin1Char('/'), QLatin1Char('\\')); };
    QString files;
    for (const QString& file : NsisPayload())
        files += QStringLiteral("  SetOutPath \"%1\"\n  File \"%2/%3\"\n")
                     .arg(windows(QFileInfo(QStringLiteral("$INSTDIR/") + file).path()), source, file);
    return QStringLiteral(R"(Unicode true
Name "Packwright NSIS test %1"
OutFile "%2"
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES\%3"
Section
%4  WriteRegStr HKLM "%5" "Installed" "%6"
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\%7"
  CreateShortcut "$SMPROGRAMS\%8" "$INSTDIR\%9" "-x" "" 0 SW_SHOWNORMAL "" "NSIS %1"
SectionEnd
)")
        .arg(caseName, installer, QFileInfo(NsisInstallFolder(caseName)).fileName(), files, NsisRegistryKey(caseName),
             QString::fromUtf8(InstalledContent(caseName)).trimmed(), windows(QFileInfo(NsisShortcut(caseName)).path()),
             windows(NsisShortcut(caseName)), windows(NsisPayload().front()))
        .toUtf8();
}

}  // namespace

const char* KindName(StartKind kind)
{
    switch (kind) {
    case StartKind::Exe:
        return "exe";
    case StartKind::Msi:
        return "msi";
    case StartKind::Bat:
        return "bat";
    case StartKind::Cmd:
        return "cmd";
    case StartKind::Inf:
        return "inf";
    }
    return "";
}

QString MsiInstallFolder(const QString& caseName)
{
    return QStringLiteral("Packwright test ") + caseName;
}

QString InfCopiedFile(const QString& caseName)
{
    return QStringLiteral("pwtest-") + caseName + QStringLiteral(".txt");
}

QString InfRegistryValue(const QString& caseName)
{
    return caseName;
}

QString NsisInstallFolder(const QString& caseName)
{
    return QStringLiteral("Program Files/Packwright NSIS ") + caseName;
}

QStringList NsisPayload()
{
    return {QStringLiteral("readme.txt"), QStringLiteral("data/settings.ini")};
}

QString NsisRegistryKey(const QString& caseName)
{
    return QStringLiteral("Software\\Packwright NSIS ") + caseName;
}

QString NsisShortcut(const QString& caseName)
{
    return QStringLiteral("Packwright NSIS %1/App %1.lnk").arg(caseName);
}

TestProgram WriteNsisProgramFolder(const QString& folder, const QString& caseName, Arch arch)
{
    // The script and the files it packs lie outside the program folder: only the installer goes into the add-on.
    const QString source = QDir::cleanPath(folder + QStringLiteral("/../nsis-source"));
    for (const QString& file : NsisPayload())
        WriteFile(source + QLatin1Char('/') + file, InstalledContent(caseName) + file.toUtf8());
    const QString installer = folder + QStringLiteral("/NsisApp.exe");
    QDir().mkpath(folder);
    WriteFile(source + QStringLiteral("/installer.nsi"), NsisScript(source, installer, caseName));
    const QString target = arch == Arch::I686 ? QStringLiteral("x86-unicode") : QStringLiteral("amd64-unicode");
    const ToolRun makensis = RunIn(source, QStringLiteral(PW_MAKENSIS),
                                   {QStringLiteral("-V2"), QStringLiteral("-XTarget ") + target,
                                    QStringLiteral("installer.nsi")});
    EXPECT_TRUE(makensis.ok) << makensis.output.toStdString();
    return {QStringLiteral("NsisApp.exe"), QStringLiteral("/S"), QString()};
}

QByteArray InstalledContent(const QString& caseName)
{
    return "installed by the test " + caseName.toUtf8() + "\r\n";
}

TestProgram WriteProgramFolder(StartKind kind, const QString& folder, const QString& caseName, Arch arch)
{
    WriteCommonFiles(folder);
    switch (kind) {
    case StartKind::Exe:
        EXPECT_TRUE(QFile::copy(TestTool(QStringLiteral("Recorder.exe"), arch), folder + QStringLiteral("/setup.exe")));
        return {QStringLiteral("setup.exe"), kRecordedSwitch, QString()};
    case StartKind::Bat:
    case StartKind::Cmd: {
        const QString name = kind == StartKind::Bat ? QStringLiteral("install.bat") : QStringLiteral("install.cmd");
        WriteFile(folder + QLatin1Char('/') + name, kBatchFile);
        return {name, kRecordedSwitch, QStringLiteral("batchrunner.exe")};
    }
    case StartKind::Msi:
        WriteMsiPackage(folder + QStringLiteral("/setup.msi"), caseName);
        return {QStringLiteral("setup.msi"),
                QStringLiteral("INSTALLDIR=\"C:\\%1\"").arg(MsiInstallFolder(caseName)), QStringLiteral("msistub.exe")};
    case StartKind::Inf:
        WriteFile(folder + QStringLiteral("/setup.inf"), InfFile(caseName));
        WriteFile(folder + QLatin1Char('/') + InfCopiedFile(caseName), InstalledContent(caseName));
        return {QStringLiteral("setup.inf"), QString(), QStringLiteral("infrunner.exe")};
    }
    return {};
}

}  // namespace pwtest
