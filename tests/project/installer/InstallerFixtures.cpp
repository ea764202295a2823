#include "InstallerFixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace pwtest {
namespace {

QStringList WriteFiles(const TempDir& dir, const QString& folder, const QList<NamedBytes>& files)
{
    QStringList names;
    for (const NamedBytes& file : files) {
        dir.write(folder + QLatin1Char('/') + file.name, file.bytes);
        names << file.name;
    }
    return names;
}

}  // namespace

QByteArray Stub(const QString& name)
{
    const QByteArray bytes = ReadAll(QStringLiteral(PW_INSTALLER_STUBS "/") + name + QStringLiteral(".exe"));
    EXPECT_FALSE(bytes.isEmpty()) << "no stub " << name.toStdString();
    return bytes;
}

bool RunTool(const QString& program, const QStringList& arguments, const QString& folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(120000);
    const bool ok = ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    EXPECT_TRUE(ok) << program.toStdString() << ": " << process.readAll().toStdString();
    return ok;
}

QString MakeNsisInstaller(const TempDir& dir, const QString& target)
{
    const QString output = dir.path(QStringLiteral("nsis-") + target + QStringLiteral(".exe"));
    RunTool(QStringLiteral("makensis"),
            {QStringLiteral("-V1"), QStringLiteral("-XTarget ") + target, QStringLiteral("-DOUTPUT=") + output,
             QStringLiteral(PW_INSTALLER_SOURCES "/Installer.nsi")},
            dir.path());
    return output;
}

QString MakeMsiPackage(const TempDir& dir, const QString& name)
{
    const QString folder = dir.mkdir(QStringLiteral("wixl"));
    dir.write(QStringLiteral("wixl/readme.txt"), "installed by the package\n");
    RunTool(QStringLiteral("wixl"),
            {QStringLiteral("-o"), dir.path(name), QStringLiteral(PW_INSTALLER_SOURCES "/Package.wxs")}, folder);
    return dir.path(name);
}

QByteArray SevenZipArchive(const TempDir& dir, const QList<NamedBytes>& files, int level)
{
    const QString folder = dir.mkdir(QStringLiteral("7z-input"));
    const QString archive = dir.path(QStringLiteral("archive.7z"));
    QFile::remove(archive);
    RunTool(QStringLiteral("7z"),
            QStringList{QStringLiteral("a"), QStringLiteral("-bd"), QStringLiteral("-mx=%1").arg(level), archive}
                + WriteFiles(dir, QStringLiteral("7z-input"), files),
            folder);
    return ReadAll(archive);
}

QByteArray Cabinet(const TempDir& dir, const QList<NamedBytes>& files)
{
    const QString folder = dir.mkdir(QStringLiteral("cab-input"));
    const QString cabinet = dir.path(QStringLiteral("archive.cab"));
    RunTool(QStringLiteral("gcab"), QStringList{QStringLiteral("-c"), cabinet} + WriteFiles(dir, QStringLiteral("cab-input"), files),
            folder);
    return ReadAll(cabinet);
}

QByteArray OurSelfExtractor(const QByteArray& archive)
{
    const QByteArray module = ReadAll(QStringLiteral(PW_APPDIR "/7zS.sfx"));
    if (module.isEmpty())
        return {};
    // The block as the pack step writes it: UTF-8 lines separated by LF CR, no final separator.
    const QByteArray block = ";!@Install@!UTF-8!\n\rGUIMode=\"2\"\n\rRunProgram=\"setup.exe /S\"\n\r;!@InstallEnd@!";
    return module + block + archive;
}

}  // namespace pwtest
