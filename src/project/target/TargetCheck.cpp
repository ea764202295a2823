#include "project/target/TargetCheck.h"

#include "platform/FileNames.h"
#include "platform/version/ByteSource.h"
#include "platform/version/PeDirectories.h"
#include "project/target/PackageInstallerVersion.h"
#include "project/target/SystemFunctions.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace pw {
namespace {

// Windows Installer versions as a package's page count gives them: what XP SP3 and Server 2003 SP2 ship,
// and the last one made for them, a separate download.
constexpr int kShippedInstaller = 301;
constexpr int kLastInstaller = 405;

QString MachineName(uint16_t machine)
{
    switch (machine) {
    case kMachineAmd64: return QStringLiteral("x86-64");
    case 0xAA64: return QStringLiteral("ARM64");
    case 0x01C0:
    case 0x01C4: return QStringLiteral("ARM");
    case 0x0200: return QStringLiteral("Itanium");
    default: return QStringLiteral("0x%1").arg(machine, 4, 16, QLatin1Char('0'));
    }
}

bool Runs(uint16_t machine, WindowsTarget target)
{
    return machine == kMachineI386 || (machine == kMachineAmd64 && FactsOf(target).is64Bit);
}

// A library the program carries beside itself is loaded from there, whatever the target has.
bool Carried(const QByteArray& library, const QStringList& besideProgram)
{
    return besideProgram.contains(QString::fromLatin1(library), Qt::CaseInsensitive);
}

void CheckImports(PeImage& image, WindowsTarget target, const QString& path, const QString& appDir,
                  QList<TargetFinding>& findings)
{
    const QString tablePath = SystemFunctionsFilePath(appDir);
    if (!QFileInfo(tablePath).isFile())
        return;
    const SystemFunctions table(tablePath);
    const QStringList besideProgram = QFileInfo(path).absoluteDir().entryList(QDir::Files);
    QStringList libraries, functions;
    for (const PeImportedLibrary& library : ReadImports(image)) {
        if (!table.HasLibrary(library.name, target)) {
            if (!Carried(library.name, besideProgram))
                libraries.append(QString::fromLatin1(library.name));
            continue;
        }
        for (const QByteArray& function : table.MissingFunctions(library.name, library.functions, target))
            functions.append(QString::fromLatin1(function + " (" + library.name + ')'));
    }
    if (!libraries.isEmpty())
        findings.append({TargetFinding::Kind::MissingLibraries, libraries});
    if (!functions.isEmpty())
        findings.append({TargetFinding::Kind::MissingFunctions, functions});
}

QList<TargetFinding> CheckProgram(ByteSource& source, WindowsTarget target, const QString& path, const QString& appDir)
{
    PeImage image(source);
    if (!image.Load())
        return {};
    // A program for another processor never starts: nothing else about it matters.
    if (!Runs(image.Machine(), target))
        return {{TargetFinding::Kind::Machine, {MachineName(image.Machine())}}};
    QList<TargetFinding> findings;
    const WindowsTargetFacts& facts = FactsOf(target);
    if (std::pair<int, int>(image.SubsystemMajor(), image.SubsystemMinor()) > std::pair(facts.major, facts.minor))
        findings.append({TargetFinding::Kind::SubsystemVersion,
                         {QStringLiteral("%1.%2").arg(image.SubsystemMajor()).arg(image.SubsystemMinor())}});
    CheckImports(image, target, path, appDir, findings);
    if (const std::optional<QByteArray> runtime = ReadClrRuntimeVersion(image))
        findings.append({TargetFinding::Kind::DotNet, {QString::fromLatin1(*runtime)}});
    return findings;
}

QList<TargetFinding> CheckPackage(const QString& path)
{
    const std::optional<int> version = PackageInstallerVersion(path);
    if (!version || *version <= kShippedInstaller)
        return {};
    const QString name = QStringLiteral("%1.%2").arg(*version / 100).arg(*version % 100);
    const TargetFinding::Kind kind =
        *version <= kLastInstaller ? TargetFinding::Kind::InstallerDownload : TargetFinding::Kind::InstallerMissing;
    return {{kind, {name}}};
}

}  // namespace

QList<TargetFinding> CheckTarget(const QString& path, WindowsTarget target, const QString& appDir)
{
    // Opening a named pipe would wait for a writer that may never come.
    if (!QFileInfo(path).isFile())
        return {};
    if (LowerExtension(path) == QLatin1String(".msi"))
        return CheckPackage(path);
    FileByteSource source(path);
    if (!source.IsOpen())
        return {};
    return CheckProgram(source, target, path, appDir);
}

}  // namespace pw
