#include "gui/TTryForm.h"

#include "gui/FormCaptions.h"
#include "gui/ObjectNames.h"
#include "tryout/TryAddon.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace pw {
namespace {

// The window that waited is shown as it was, scrolled within this when it is larger.
constexpr QSize kScreenshotArea(640, 400);

bool Passed(const TryResult& result)
{
    return result.verdict == TryVerdict::InstalledSilently;
}

}  // namespace

QString VerdictLine(const TryResult& result, const TryTexts& texts)
{
    const QString sentence = result.verdictText.isEmpty() ? result.reason : result.verdictText;
    const QString mark = Passed(result) ? texts.PassedMarkStr : texts.FailedMarkStr;
    // A failure's sentence may begin with the mark already.
    QString line = sentence.startsWith(mark) ? sentence : mark + QStringLiteral(" — ") + sentence;
    if (result.installedNothing)
        line += QLatin1Char(' ') + texts.NothingInstalledStr;
    return line;
}

TTryForm::TTryForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TryForm"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    Verdict = Named(new QLabel(this), "Verdict");
    Verdict->setWordWrap(true);
    Verdict->setTextFormat(Qt::RichText);
    Summary = Named(new QPlainTextEdit(this), "Summary");
    Summary->setReadOnly(true);
    Summary->setLineWrapMode(QPlainTextEdit::NoWrap);
    Summary->setMinimumSize(520, 220);
    Screenshot = Named(new QLabel(this), "Screenshot");
    Screenshot->setAlignment(Qt::AlignCenter);
    ScreenshotArea = Named(new QScrollArea(this), "ScreenshotArea");
    ScreenshotArea->setWidget(Screenshot);
    ScreenshotArea->setAlignment(Qt::AlignCenter);
    ScreenshotArea->setMaximumSize(kScreenshotArea);
    OpenFolder = Named(new QPushButton(this), "OpenFolder");
    connect(OpenFolder, &QPushButton::clicked, this, [this] {
        if (openFolder)
            openFolder(reportFolder_);
    });
    Button1 = Named(new QPushButton(this), "Button1");
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OpenFolder);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    layout->addWidget(Verdict);
    layout->addWidget(Summary, 1);
    layout->addWidget(ScreenshotArea, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    ShowCaptionsBeforeLanguage(*this, TryFormCaptions());
}

void TTryForm::Prepare(const QString& addon, const TryResult& result, const TryTexts& texts)
{
    setWindowTitle(texts.TitleStr.arg(QFileInfo(addon).fileName()));
    const QString line = VerdictLine(result, texts);
    const QString mark = Passed(result) ? texts.PassedMarkStr : texts.FailedMarkStr;
    Verdict->setText(QStringLiteral("<b><span style=\"color:%1\">%2</span></b>%3")
                         .arg(Passed(result) ? QStringLiteral("#1a7f37") : QStringLiteral("#cf222e"),
                              mark.toHtmlEscaped(), line.mid(mark.size()).toHtmlEscaped()));
    Summary->setPlainText(result.summary);
    QPixmap picture;
    if (!result.screenshots.isEmpty())
        picture.load(QDir(result.reportFolder).filePath(result.screenshots.front()));
    Screenshot->setPixmap(picture);
    Screenshot->resize(picture.size());
    ScreenshotArea->setMinimumSize(picture.size().boundedTo(kScreenshotArea) + QSize(4, 4));
    ScreenshotArea->setVisible(!picture.isNull());
    reportFolder_ = result.reportFolder;
    OpenFolder->setEnabled(!reportFolder_.isEmpty());
}

}  // namespace pw
