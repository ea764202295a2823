#include "TryFixture.h"

#include "tryout/HostTools.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QUuid>

#include <gtest/gtest.h>

namespace pwtest {
namespace {

// Runs a tool of this machine to its end; fails the test with its output when it does not succeed.
void Run(const QString& folder, const QString& program, const QStringList& arguments,
         const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(120000);
    EXPECT_TRUE(ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << program.toStdString() << ": " << process.readAll().toStdString() << process.errorString().toStdString();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

}  // namespace

bool CanTry(QString* reason)
{
    const pw::HostCheck host = pw::CheckHost(pw::FindTryTools(), true, pw::TryTexts());
    *reason = host.missing;
    return host.missing.isEmpty();
}

InstallerArch NativeArch()
{
    return pw::CheckHost(pw::FindTryTools(), true, pw::TryTexts()).runs32Bit ? InstallerArch::X86
                                                                             : InstallerArch::Amd64;
}

// Makes `folder`/setup.exe of the NSIS script `script` for `arch`.
void MakeNsis(const QString& folder, const QString& script, InstallerArch arch)
{
    const QString target = arch == InstallerArch::X86 ? QStringLiteral("x86-unicode") : QStringLiteral("amd64-unicode");
    Write(folder + QStringLiteral("/installer.nsi"),
          (QStringLiteral("Unicode true\nTarget %1\nOutFile \"setup.exe\"\nRequestExecutionLevel admin\n").arg(target)
           + script)
              .toUtf8());
    Run(folder, QStringLiteral(PW_MAKENSIS), {QStringLiteral("-V2"), QStringLiteral("installer.nsi")});
    QFile::remove(folder + QStringLiteral("/installer.nsi"));
}

void WriteNsisInstaller(const QString& folder, const QString& name, InstallerArch arch)
{
    const QString script = QStringLiteral(
                               "Name \"%1\"\n"
                               "InstallDir \"%2\\%1\"\n"
                               "Page directory\n"
                               "Page instfiles\n"
                               "Section\n"
                               "  SetOutPath \"$INSTDIR\"\n"
                               "  FileOpen $0 \"$INSTDIR\\readme.txt\" w\n"
                               "  FileWrite $0 \"installed\"\n"
                               "  FileClose $0\n"
                               "  WriteRegStr HKLM \"Software\\%1\" \"Version\" \"1.0\"\n"
                               "  SetShellVarContext all\n"
                               "  CreateShortcut \"$SMPROGRAMS\\%1.lnk\" \"$INSTDIR\\readme.txt\"\n"
                               "SectionEnd\n")
                               .arg(name, arch == InstallerArch::X86 ? QStringLiteral("$PROGRAMFILES")
                                                                     : QStringLiteral("$PROGRAMFILES64"));
    MakeNsis(folder, script, arch);
}

void WriteLauncher(const QString& folder, InstallerArch arch)
{
    MakeNsis(folder,
             QStringLiteral(
                 "Name \"Launcher\"\nSilentInstall silent\nSection\n  Exec '\"$EXEDIR\\sleeper.exe\"'\nSectionEnd\n"),
             arch);
    const QString sleeper =
        arch == InstallerArch::X86 ? QStringLiteral(PW_SLEEPER_I686) : QStringLiteral(PW_SLEEPER_X86_64);
    ASSERT_TRUE(QFile::copy(sleeper, folder + QStringLiteral("/sleeper.exe")));
}

void WriteSleeper(const QString& folder, InstallerArch arch)
{
    QDir().mkpath(folder);
    const QString sleeper =
        arch == InstallerArch::X86 ? QStringLiteral(PW_SLEEPER_I686) : QStringLiteral(PW_SLEEPER_X86_64);
    ASSERT_TRUE(QFile::copy(sleeper, folder + QStringLiteral("/setup.exe")));
}

void WriteConsoleInstaller(const QString& folder, InstallerArch arch)
{
    QDir().mkpath(folder);
    const QString console =
        arch == InstallerArch::X86 ? QStringLiteral(PW_CONSOLE_I686) : QStringLiteral(PW_CONSOLE_X86_64);
    ASSERT_TRUE(QFile::copy(console, folder + QStringLiteral("/console.exe")));
}

void WriteMsiPackage(const QString& folder, const QString& name)
{
    // wixl takes the payload relative to the folder it runs in; only the package goes into the add-on.
    const QString work = folder + QStringLiteral("-msi");
    Write(work + QStringLiteral("/payload.txt"), "installed\r\n");
    auto code = [] { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); };
    QDir().mkpath(folder);
    Run(work, QStringLiteral(PW_WIXL),
        {QStringLiteral("-D"), QStringLiteral("ProductCode=") + code(), QStringLiteral("-D"),
         QStringLiteral("ComponentCode=") + code(), QStringLiteral("-D"), QStringLiteral("Folder=") + name,
         QStringLiteral("-D"), QStringLiteral("Payload=payload.txt"), QStringLiteral("-o"),
         folder + QStringLiteral("/package.msi"), QStringLiteral(PW_TEST_PACKAGE_WXS)});
}

void RecordingTryUi::setStatus(const QString& text)
{
    statuses << text;
    if (cancelWhen && cancelWhen(text))
        cancel_ = true;
}

QString TryFixture::BuildAddon(const QString& folder, const QString& start, const QString& silentSwitch,
                               const QStringList& options)
{
    // Named as the save dialog offers it: the folder's name without its blanks, which the add-on's line refuses.
    const QString cabinet =
        scratch.path(QStringLiteral("addons/%1.cab").arg(QFileInfo(folder).fileName().remove(QLatin1Char(' '))));
    QDir().mkpath(QFileInfo(cabinet).absolutePath());
    // Always a --switch: without one, packwright-build would give a recognised installer its own switch.
    const QStringList arguments = {QStringLiteral("--folder"), folder, QStringLiteral("--start"), start,
                                   QStringLiteral("--switch"), silentSwitch};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), scratch.path(QStringLiteral("data")));
    Run(scratch.path(), builder, arguments + options << cabinet, environment);
    return cabinet;
}

QString TryFixture::BuilderWith(const QString& name, const QString& replacement)
{
    const QString appDir = scratch.path(QStringLiteral("appdir"));
    QDir().mkpath(appDir);
    for (const QString& file :
         {QStringLiteral("packwright-build"), QStringLiteral("7zS.sfx"), QStringLiteral("msistub.exe"),
          QStringLiteral("batchrunner.exe"), QStringLiteral("infrunner.exe")}) {
        const QString source = file == name ? replacement : QStringLiteral(PW_APPDIR "/") + file;
        EXPECT_TRUE(QFile::copy(source, appDir + QLatin1Char('/') + file)) << source.toStdString();
    }
    return appDir + QStringLiteral("/packwright-build");
}

QString PrefixCache()
{
    // One prepared prefix for the suite's tries, never the user's; removed when the suite ends.
    static const TempDir cache;
    return cache.path(QStringLiteral("prefixes"));
}

pw::TryOptions TryFixture::Options(const QString& addon) const
{
    pw::TryOptions options;
    options.addon = addon;
    options.appDir = QStringLiteral(PW_APPDIR);
    options.reportParent = scratch.path(QStringLiteral("reports"));
    options.scratchParent = scratch.path(QStringLiteral("work"));
    options.prefixCache = PrefixCache();
    options.tools = pw::FindTryTools();
    // The Windows that runs the installers made for this machine: a 64-bit one where only 64-bit ones run.
    options.target = NativeArch() == InstallerArch::Amd64 ? pw::WindowsTarget::Xp64 : pw::WindowsTarget::Xp;
    return options;
}

pw::TryResult TryFixture::Try(const pw::TryOptions& options)
{
    return pw::TryAddon(options, ui);
}

QStringList TryFixture::ScratchLeft() const
{
    return QDir(scratch.path(QStringLiteral("work"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

int Colours(const QString& png, int limit)
{
    const QImage image(png);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() < limit; ++y) {
        for (int x = 0; x < image.width() && colours.size() < limit; ++x)
            colours.insert(image.pixel(x, y));
    }
    return int(colours.size());
}

}  // namespace pwtest
