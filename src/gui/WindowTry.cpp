#include "gui/WindowTry.h"

#include "dialogs/Dialogs.h"
#include "gui/StatusLine.h"
#include "gui/TTryForm.h"
#include "gui/WindowLock.h"
#include "pipeline/BuildTexts.h"

#include <QFileInfo>
#include <QUrl>

namespace pw {

// The inputs wait from the try's start until it has ended, however it ends.
class WindowTry::Running {
public:
    explicit Running(WindowTry& owner) : owner_(owner)
    {
        owner_.busy_ = true;
        owner_.window_.lock.SetActivity(WindowActivity::Trying);
    }
    ~Running()
    {
        owner_.busy_ = false;
        owner_.window_.lock.SetActivity(WindowActivity::Idle);
    }

private:
    WindowTry& owner_;
};

void WindowTry::Run(const TryRunner& runner, TryOptions options, const QString& lastOutput,
                    const QString& programFolder, const BuildTexts& texts)
{
    const bool lastIsAddon = lastOutput.endsWith(QLatin1String(".cab"), Qt::CaseInsensitive) && QFileInfo(lastOutput).isFile();
    const std::optional<QString> addon =
        dialogs_.askAddon(&window_.window, texts.ChooseAddonStr, lastIsAddon ? lastOutput : programFolder);
    if (!addon)
        return;
    options.addon = *addon;
    options.reportParent = QFileInfo(*addon).absolutePath();  // the report lies beside the add-on it describes
    // While a try runs, the window's inputs wait: a build, a second try or a change of the project would
    // have to share the one display and prefix the try owns.
    texts_ = &texts;
    stop_ = false;
    TryResult result;
    {
        Running running(*this);
        result = runner(options, *this);
    }
    ShowFindings(*addon, result, options.texts);
}

void WindowTry::setStatus(const QString& text)
{
    window_.status.setText(text + QLatin1Char(' ') + texts_->StopKeyStr.arg(QStringLiteral("Esc")));
}

bool WindowTry::cancelRequested()
{
    dialogs_.processEvents();
    return stop_;
}

void WindowTry::ShowFindings(const QString& addon, const TryResult& result, const TryTexts& texts)
{
    window_.status.setText(result.cancelled ? texts.StoppedStr : VerdictLine(result, texts));
    if (result.cancelled)
        return;
    if (result.reportFolder.isEmpty()) {
        // The lines never ran (the reason is all there is to say), or the report folder could not be
        // written (the summary says why, after what the try found).
        const QString text = result.ran ? result.summary : result.reason;
        dialogs_.showMessage(&window_.window, text,
                             result.verdict == TryVerdict::Failed ? MessageKind::Error : MessageKind::Warning);
        return;
    }
    window_.findings.openFolder = [this, failure = texts_->NothingOpensStr](const QString& folder) {
        dialogs_.openOrSay(&window_.findings, QUrl::fromLocalFile(folder), failure);
    };
    window_.findings.Prepare(addon, result, texts);
    window_.showModal(window_.findings);
}

}  // namespace pw
