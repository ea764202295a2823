#include "project/target/TargetCheck.h"

#include "platform/FileNames.h"
#include "platform/version/ByteSource.h"
#include "platform/version/LittleEndian.h"
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

// What Windows makes of a file it is asked to run as a program.
enum class Executable { Windows, Dos, Refused };

// A file with the "MZ" header is a DOS program unless its header leads to a PE signature, and then it
// must be a whole PE image: the loader refuses one whose headers are damaged or whose sections run past
// the end of the file (a download cut short). Without the header, a .com is a DOS memory image, and any
// other file nothing the loader takes.
Executable ClassifyExecutable(ByteSource& source, bool comFile, PeImage& image)
{
    constexpr size_t kDosHeaderSize = 64;
    constexpr uint64_t kPeOffsetField = 0x3C;
    const auto start = ReadBytes(source, 0, 2);
    if (!start || (*start)[0] != 'M' || (*start)[1] != 'Z')
        return comFile && source.Size() > 0 ? Executable::Dos : Executable::Refused;
    const auto dosHeader = ReadBytes(source, 0, kDosHeaderSize);
    if (!dosHeader)
        return Executable::Refused;
    const auto signature = ReadBytes(source, LoadLe32(*dosHeader, kPeOffsetField), 4);
    if (!signature || !std::equal(signature->begin(), signature->end(), "PE\0\0"))
        return Executable::Dos;
    return image.Load() && image.ImageEnd() <= source.Size() ? Executable::Windows : Executable::Refused;
}

QList<TargetFinding> CheckProgram(ByteSource& source, WindowsTarget target, const QString& path, const QString& appDir)
{
    PeImage image(source);
    switch (ClassifyExecutable(source, LowerExtension(path) == QLatin1String(".com"), image)) {
    case Executable::Refused: return {{TargetFinding::Kind::NotAProgram, {}}};
    // A 32-bit Windows runs DOS programs in its DOS machine; a 64-bit one has none.
    case Executable::Dos:
        return FactsOf(target).is64Bit ? QList<TargetFinding>{{TargetFinding::Kind::Machine, {QStringLiteral("DOS")}}}
                                       : QList<TargetFinding>{};
    case Executable::Windows: break;
    }
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
    const QString extension = LowerExtension(path);
    if (extension == QLatin1String(".msi"))
        return CheckPackage(path);
    if (extension != QLatin1String(".exe") && extension != QLatin1String(".com"))
        return {};  // a script or an .inf: a program of Windows' own runs it
    FileByteSource source(path);
    if (!source.IsOpen())
        return {};
    return CheckProgram(source, target, path, appDir);
}

}  // namespace pw
