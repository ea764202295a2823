#include "gui/TTryForm.h"

#include "gui/FormCaptions.h"
#include "gui/ObjectNames.h"
#include "tryout/TryAddon.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pw {
namespace {

// The screenshot is shown at most this large; the report folder keeps it whole.
constexpr QSize kShownScreenshot(480, 360);

}  // namespace

TTryForm::TTryForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TryForm"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    Summary = Named(new QPlainTextEdit(this), "Summary");
    Summary->setReadOnly(true);
    Summary->setLineWrapMode(QPlainTextEdit::NoWrap);
    Summary->setMinimumSize(520, 220);
    Screenshot = Named(new QLabel(this), "Screenshot");
    Screenshot->setAlignment(Qt::AlignCenter);
    Screenshot->setFrameShape(QFrame::Panel);
    Screenshot->setFrameShadow(QFrame::Sunken);
    Button1 = Named(new QPushButton(this), "Button1");
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(Summary, 1);
    layout->addWidget(Screenshot, 0, Qt::AlignHCenter);
    layout->addWidget(Button1, 0, Qt::AlignRight);
    ShowCaptionsBeforeLanguage(*this, TryFormCaptions());
}

void TTryForm::Prepare(const QString& addon, const TryResult& result, const TryTexts& texts)
{
    setWindowTitle(texts.TitleStr.arg(QFileInfo(addon).fileName()));
    Summary->setPlainText(result.summary);
    QPixmap picture;
    if (!result.screenshots.isEmpty())
        picture.load(QDir(result.reportFolder).filePath(result.screenshots.front()));
    if (!picture.isNull() && (picture.width() > kShownScreenshot.width() || picture.height() > kShownScreenshot.height()))
        picture = picture.scaled(kShownScreenshot, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Screenshot->setPixmap(picture);
    Screenshot->setVisible(!picture.isNull());
}

}  // namespace pw
