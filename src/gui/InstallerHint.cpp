#include "gui/InstallerHint.h"

#include "catalogue/Silence.h"
#include "gui/TMainForm.h"
#include "pipeline/TargetWarnings.h"
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

}  // namespace

void InstallerHint::StartFileChosen(TMainForm& form)
{
    if (const QString earlier = std::exchange(offered_, {}); !earlier.isEmpty() && form.SilStr->text() == earlier) {
        form.SilStr->clear();
        form.SilComm->setCurrentIndex(-1);
    }
    const QString startFile = form.Programa->currentText();
    const std::optional<InstallerOffer> offer =
        startFile.isEmpty() ? std::nullopt : OfferFor(form.SourceDir + QLatin1Char('/') + startFile, form.AppDir);
    kind_ = offer ? std::optional(offer->kind) : std::nullopt;
    CheckTarget(form);
    if (!offer || offer->silentSwitch.isEmpty() || !form.SilStr->text().isEmpty())
        return;
    form.SilStr->setText(offer->silentSwitch);
    offered_ = offer->silentSwitch;
    form.SilComm->setCurrentIndex(CatalogueRowOf(offer->silentSwitch, form.DataDir, form.SilComm->count()));
}

void InstallerHint::CheckTarget(TMainForm& form)
{
    const QString startFile = form.Programa->currentText();
    const QString path = form.SourceDir + QLatin1Char('/') + startFile;
    findings_ = startFile.isEmpty() ? QList<TargetFinding>() : pw::CheckTarget(path, form.Target(), form.AppDir);
    ShowKind(form);
}

void InstallerHint::ShowKind(TMainForm& form) const
{
    const BuildTexts& texts = form.Driver().texts;
    form.InstKind->setText(kind_ ? InstallerKindName(texts, *kind_) : QString());
    const QStringList warnings = TargetWarningTexts(findings_, form.Programa->currentText(), form.Target(), texts);
    form.AlvoAviso->setText(warnings.isEmpty() ? QString() : texts.TargetHintStr.arg(warnings.size()));
    form.AlvoAviso->setToolTip(warnings.join(QStringLiteral("\n\n")));
}

}  // namespace pw
