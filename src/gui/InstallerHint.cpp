#include "gui/InstallerHint.h"

#include "catalogue/Silence.h"
#include "gui/ToolTip.h"
#include "pipeline/BuildTexts.h"
#include "pipeline/TargetWarnings.h"
#include "project/WindowModel.h"
#include "project/installer/InstallerOffer.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <utility>

namespace pw {
namespace {

// The catalogue row whose switch is `silentSwitch`, or -1.
int CatalogueRowOf(const QString& silentSwitch, const QString& dataDir, int rows)
{
    const QString path = SilenceFilePath(dataDir);
    for (int row = 0; row < rows; ++row) {
        if (SilenceCommand(path, row) == silentSwitch)
            return row;
    }
    return -1;
}

// The chosen start file's path, or empty when none is chosen.
QString StartFilePath(const HintSubject& subject)
{
    return subject.startFile.isEmpty() ? QString() : subject.model.SourceDir + QLatin1Char('/') + subject.startFile;
}

}  // namespace

void InstallerHint::StartFileChosen(const HintSubject& subject)
{
    if (const QString earlier = std::exchange(offered_, {}); !earlier.isEmpty() && view_.switchField.text() == earlier) {
        view_.switchField.clear();
        view_.switches.setCurrentIndex(-1);
    }
    const QString path = StartFilePath(subject);
    const std::optional<InstallerOffer> offer = path.isEmpty() ? std::nullopt : OfferFor(path, subject.model.AppDir);
    kind_ = offer ? std::optional(offer->kind) : std::nullopt;
    CheckTarget(subject);
    if (!offer || offer->silentSwitch.isEmpty() || !view_.switchField.text().isEmpty())
        return;
    view_.switchField.setText(offer->silentSwitch);
    offered_ = offer->silentSwitch;
    view_.switches.setCurrentIndex(CatalogueRowOf(offer->silentSwitch, subject.model.DataDir, view_.switches.count()));
}

void InstallerHint::KeepSwitch(const HintSubject& subject)
{
    offered_.clear();
    view_.switches.setCurrentIndex(CatalogueRowOf(view_.switchField.text(), subject.model.DataDir, view_.switches.count()));
}

void InstallerHint::CheckTarget(const HintSubject& subject)
{
    const QString path = StartFilePath(subject);
    findings_ = path.isEmpty() ? QList<TargetFinding>() : pw::CheckTarget(path, subject.target, subject.model.AppDir);
    ShowKind(subject);
}

void InstallerHint::ShowKind(const HintSubject& subject) const
{
    const BuildTexts& texts = subject.texts;
    // A script, a package, an .inf or no start file at all: there is no installer to name.
    view_.kind.setText(kind_ ? InstallerKindName(texts, *kind_) : QStringLiteral("—"));
    const QStringList warnings = TargetWarningTexts(findings_, subject.startFile, subject.target, texts);
    view_.warnings.setText(warnings.isEmpty() ? QString() : texts.TargetHintStr.arg(warnings.size()));
    view_.warnings.setToolTip(WrappedToolTip(warnings.join(QStringLiteral("\n\n"))));
}

}  // namespace pw
