#include "gui/WindowTry.h"

#include "dialogs/Dialogs.h"
#include "gui/FolderEdit.h"
#include "gui/StatusLine.h"
#include "gui/TMainForm.h"
#include "gui/TTryForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include <utility>

namespace pw {
namespace {

// While a try runs, the window's inputs wait: a build, a second try or a change of the project would
// have to share the one display and prefix the try owns. The poll, which enables controls by its own
// rules, rests meanwhile; at the end every control gets its state back and the poll ticks once.
class InputLock {
public:
    explicit InputLock(TMainForm& form) : form_(form), pollRan_(form.Timer1->isActive())
    {
        form_.Timer1->stop();
        const QList<QWidget*> inputs = {form_.Pasta, form_.Compact, form_.ComprLev, form_.Programa, form_.SilComm,
                                        form_.SilStr,  form_.Edita,  form_.GroupBox1, form_.Cria, form_.Testa};
        for (QWidget* input : inputs) {
            states_.append({input, input->isEnabled()});
            input->setEnabled(false);
        }
        for (int page = 0; page < form_.Tabs->count(); ++page) {
            pages_.append(form_.Tabs->isTabEnabled(page));
            form_.Tabs->setTabEnabled(page, form_.Tabs->widget(page) == form_.Geral);
        }
    }
    ~InputLock()
    {
        for (const auto& [input, enabled] : states_)
            input->setEnabled(enabled);
        for (int page = 0; page < pages_.size(); ++page)
            form_.Tabs->setTabEnabled(page, pages_[page]);
        form_.Timer1Timer();
        if (pollRan_)
            form_.Timer1->start();
    }

private:
    TMainForm& form_;
    bool pollRan_;
    QList<std::pair<QWidget*, bool>> states_;
    QList<bool> pages_;
};

}  // namespace

QString WindowTry::DialogStart() const
{
    const QString& last = form_.Driver().lastOutput;
    if (last.endsWith(QLatin1String(".cab"), Qt::CaseInsensitive) && QFileInfo(last).isFile())
        return last;
    return form_.SourceDir;
}

void WindowTry::Run(const TryRunner& runner)
{
    if (form_.Busy())
        return;
    const std::optional<QString> addon = dialogs_.askAddon(&form_, form_.Driver().texts.ChooseAddonStr, DialogStart());
    if (!addon)
        return;
    TryOptions options;
    options.addon = *addon;
    options.appDir = form_.AppDir;
    options.reportParent = QFileInfo(*addon).absolutePath();  // the report lies beside the add-on it describes
    options.tools = FindTryTools();
    options.texts = form_.tryTexts;
    options.target = form_.Target();
    TryResult result;
    {
        InputLock lock(form_);
        busy_ = true;
        stop_ = false;
        result = runner(options, *this);
        busy_ = false;
    }
    ShowFindings(*addon, result);
}

void WindowTry::setStatus(const QString& text)
{
    form_.Label11->setText(text + QLatin1Char(' ') + form_.Driver().texts.StopKeyStr.arg(QStringLiteral("Esc")));
}

bool WindowTry::cancelRequested()
{
    dialogs_.processEvents();
    return stop_;
}

void WindowTry::ShowFindings(const QString& addon, const TryResult& result)
{
    form_.Label11->setText(result.cancelled ? form_.tryTexts.StoppedStr : VerdictLine(result, form_.tryTexts));
    if (result.cancelled)
        return;
    if (result.reportFolder.isEmpty()) {
        // The lines never ran (the reason is all there is to say), or the report folder could not be
        // written (the summary says why, after what the try found).
        const QString text = result.ran ? result.summary : result.reason;
        dialogs_.showMessage(&form_, text,
                             result.verdict == TryVerdict::Failed ? MessageKind::Error : MessageKind::Warning);
        return;
    }
    form_.TryForm->openFolder = [this](const QString& folder) { dialogs_.openUrl(QUrl::fromLocalFile(folder)); };
    form_.TryForm->Prepare(addon, result, form_.tryTexts);
    form_.ShowModal(*form_.TryForm);
}

}  // namespace pw
