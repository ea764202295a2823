#include "pipeline/TargetWarnings.h"

#include <QFileInfo>

#include <iterator>

namespace pw {
namespace {

// A list longer than this is cut: the first names tell what the program needs, and a message box must fit
// on the screen.
constexpr int kNamesShown = 5;

QString NameList(const QStringList& names, const BuildTexts& texts)
{
    QStringList shown = names.mid(0, kNamesShown);
    if (names.size() > kNamesShown)
        shown.append(texts.TargetMoreStr.arg(names.size() - kNamesShown));
    return shown.join(QStringLiteral(", "));
}

QString WarningText(const TargetFinding& finding, const QString& file, const QString& windows, const BuildTexts& texts)
{
    const QString detail = finding.details.value(0);
    switch (finding.kind) {
    case TargetFinding::Kind::NotAProgram: return texts.TargetNotAProgramStr.arg(file, windows);
    case TargetFinding::Kind::Machine: return texts.TargetMachineStr.arg(file, detail, windows);
    case TargetFinding::Kind::SubsystemVersion: return texts.TargetSubsystemStr.arg(file, detail, windows);
    case TargetFinding::Kind::MissingLibraries:
        return texts.TargetLibrariesStr.arg(file, windows, NameList(finding.details, texts));
    case TargetFinding::Kind::MissingFunctions:
        return texts.TargetFunctionsStr.arg(file, windows, NameList(finding.details, texts));
    case TargetFinding::Kind::InstallerDownload: return texts.TargetInstallerDownloadStr.arg(file, detail, windows);
    case TargetFinding::Kind::InstallerMissing: return texts.TargetInstallerMissingStr.arg(file, detail, windows);
    case TargetFinding::Kind::DotNet: {
        const QString text = texts.TargetDotNetStr.arg(file, detail, windows);
        return detail.startsWith(QLatin1String("v4")) ? text + QLatin1Char(' ') + texts.TargetDotNet4Str : text;
    }
    }
    return {};
}

}  // namespace

const QString& TargetName(const BuildTexts& texts, WindowsTarget target)
{
    // In the order of kWindowsTargets.
    static constexpr QString BuildTexts::*kNames[] = {&BuildTexts::TargetXpStr, &BuildTexts::TargetXp64Str,
                                                      &BuildTexts::Target2003Str};
    static_assert(std::size(kNames) == std::size(kWindowsTargets));
    return texts.*kNames[static_cast<int>(target)];
}

QStringList TargetWarningTexts(const QList<TargetFinding>& findings, const QString& startFile, WindowsTarget target,
                               const BuildTexts& texts)
{
    QStringList warnings;
    for (const TargetFinding& finding : findings)
        warnings.append(WarningText(finding, startFile, TargetName(texts, target), texts));
    return warnings;
}

QStringList TargetWarnings(const QString& path, WindowsTarget target, const QString& appDir, const BuildTexts& texts)
{
    return TargetWarningTexts(CheckTarget(path, target, appDir), QFileInfo(path).fileName(), target, texts);
}

}  // namespace pw
