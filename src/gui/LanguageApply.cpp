// Applying a language: the captions of the three windows, the rows of their fixed lists, the font face of
// the main window and the catalogue editor, the author and contact shown on the "Idiomas" page, the
// messages of the build and of the catalogue editor, and the windows' sizes for their new captions. Every
// text missing from the file takes its built-in Portuguese default.
#include "catalogue/CatalogueEdit.h"
#include "gui/FormCaptions.h"
#include "gui/QtTranslations.h"
#include "gui/TAddAtalhoForm.h"
#include "gui/TMainForm.h"
#include "gui/TSilForm.h"
#include "gui/TTryForm.h"
#include "language/LanguageFile.h"
#include "language/LanguageTexts.h"
#include "pipeline/BuildTexts.h"
#include "reopen/ReopenTexts.h"
#include "platform/version/VersionApi.h"
#include "tryout/TryTexts.h"

#include <QComboBox>

#include <iterator>

namespace pw {
namespace {

// The face of a window's font; the file's character set is the code page its texts are decoded with
// (LanguageFile): Qt fonts carry no character set of their own.
QString FontFace(const LanguageFile& file)
{
    return file.Info("iFont", QStringLiteral("MS Sans Serif"));
}

}  // namespace

void TMainForm::ApplyLanguage(const LanguageFile& file, bool keepChoices)
{
    TMainForm& form = *this;
    QComboBox* const lists[] = {form.ComprLev, form.OverCb, form.AddAtalhoForm->ComboBox1, form.AddAtalhoForm->ComboBox2};
    int chosen[std::size(lists)];
    for (size_t i = 0; i < std::size(lists); ++i)
        chosen[i] = lists[i]->currentIndex();
    // The main window keeps its font size; the editor takes the main window's.
    QFont mainFont = form.font();
    mainFont.setFamily(FontFace(file));
    form.setFont(mainFont);
    ApplyCaptions(form, MainFormCaptions(), file);
    form.ComprLev->setCurrentIndex(2);
    form.OverCb->setCurrentIndex(0);

    QFont editorFont = form.SilForm->font();
    editorFont.setFamily(FontFace(file));
    editorFont.setPointSizeF(mainFont.pointSizeF());
    form.SilForm->setFont(editorFont);
    ApplyCaptions(*form.SilForm, SilFormCaptions(), file);
    form.Driver().texts = LoadBuildTexts(file);
    SetLanguageNameLocale(LanguageLocale(file));
    UseQtTranslations(LanguageLocale(file));
    form.SilForm->texts = LoadCatalogueTexts(file);
    form.SilForm->nothingOpens = form.Driver().texts.NothingOpensStr;
    form.tryTexts = LoadTryTexts(file);
    form.reopenTexts = LoadReopenTexts(file);
    ApplyCaptions(*form.TryForm, TryFormCaptions(), file);

    ApplyCaptions(*form.AddAtalhoForm, AddAtalhoFormCaptions(), file);
    form.AddAtalhoForm->ComboBox1->setCurrentIndex(0);
    if (keepChoices) {
        for (size_t i = 0; i < std::size(lists); ++i)
            lists[i]->setCurrentIndex(chosen[i]);
    }
    form.FitToCaptions();
    form.SilForm->FitToCaptions();
}

}  // namespace pw
