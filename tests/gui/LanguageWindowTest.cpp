#include "gui/TSilForm.h"
#include "catalogue/CatalogueEdit.h"
#include "cli/CliTexts.h"
#include "gui/TAddAtalhoForm.h"
#include "gui/TMainForm.h"
#include "language/LanguageFile.h"
#include "language/LanguageTexts.h"
#include "pipeline/BuildTexts.h"
#include "platform/Errors.h"
#include "project/ShortcutEntry.h"
#include "reopen/ReopenTexts.h"
#include "support/TempDir.h"
#include "support/WindowFixture.h"
#include "tryout/TryTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace pw;

namespace {

// The controls of `window` itself, not of the dialogs it owns, whose controls may bear the same names.
template <typename T>
QList<T*> ControlsOf(QWidget* window)
{
    QList<T*> controls = window->findChildren<T*>();
    controls.removeIf([window](const T* w) { return w->window() != window; });
    return controls;
}

// Every text a language can set, by window and control name.
QMap<QString, QString> TextsOf(QWidget* window)
{
    QMap<QString, QString> texts;
    const QString prefix = window->objectName() + QLatin1Char('.');
    texts[prefix + QStringLiteral("caption")] = window->windowTitle();
    for (const QLabel* w : ControlsOf<QLabel>(window))
        texts[prefix + w->objectName()] = w->text();
    for (const QAbstractButton* w : ControlsOf<QAbstractButton>(window))
        texts[prefix + w->objectName()] = w->text();
    for (const QGroupBox* w : ControlsOf<QGroupBox>(window))
        texts[prefix + w->objectName()] = w->title();
    for (const QComboBox* w : ControlsOf<QComboBox>(window)) {
        for (int i = 0; i < w->count(); ++i)
            texts[prefix + w->objectName() + QLatin1Char('#') + QString::number(i)] = w->itemText(i);
    }
    for (const QTabWidget* w : ControlsOf<QTabWidget>(window)) {
        for (int i = 0; i < w->count(); ++i)
            texts[prefix + w->widget(i)->objectName()] = w->tabText(i);
    }
    for (const QTreeWidget* w : ControlsOf<QTreeWidget>(window)) {
        for (int i = 0; i < 2; ++i)
            texts[prefix + w->objectName() + QLatin1Char('#') + QString::number(i)] = w->headerItem()->text(i);
    }
    for (const QWidget* w : ControlsOf<QWidget>(window)) {
        if (!w->toolTip().isEmpty())
            texts[prefix + w->objectName() + QStringLiteral(".tip")] = w->toolTip();
    }
    texts.remove(prefix);  // unnamed helpers of Qt's own widgets
    texts.remove(prefix + QStringLiteral("LangBox#0"));  // the language names, not texts of a language
    return texts;
}

struct Fixture : pwtest::WindowFixture {
    void Language(const QString& name, const QByteArray& content) { dir.write("app/languages/" + name + ".qmr", content); }
    // Picks a language as the user does.
    void ChooseLanguage(const QString& name)
    {
        form->LangBox->clear();
        form->LangBox->addItem(name);
        form->LangBox->setCurrentIndex(0);
        form->LangBoxChange();
    }
    QMap<QString, QString> AllTexts() const
    {
        QMap<QString, QString> texts = TextsOf(form.get());
        texts.insert(TextsOf(form->SilForm));
        texts.insert(TextsOf(form->AddAtalhoForm));
        const BuildTexts& t = form->Driver().texts;
        int i = 0;
        for (const QString& s : {t.MessageStr, t.ErrMessageStr, t.CompactZipStr, t.CompileSFXStr, t.ProcessInfoStr,
                                 t.CompactCABStr, t.InitProcessStr, t.DelTempStr})
            texts[QStringLiteral("build#") + QString::number(i++)] = s;
        return texts;
    }
};

// The keys a complete language file holds: the 66 every file has known, then the later ones.
const char* const kInfoKeys[] = {"iCharset", "iFont", "iAuthor", "iContact", "iLocale"};
const char* const kStringKeys[] = {
    "iProgFiles", "iSelectProg", "iSilenceComm", "iZipCompress", "iEdit", "iProgData", "iDescription", "iLanguage",
    "iTitle", "iVersion", "iHomePage", "iBuildDate", "iCreateFile", "iOpenAddon", "iAbout", "iInfo", "iAtualAction", "iCompressLev",
    "iComprNone", "iComprFast", "iComprNormal", "iComprMax", "iComprUltra", "iApply", "iEditSilComm", "iName",
    "iCommand", "iChangeSel", "iAdd", "iDelete", "iClose", "iMessage", "iErrMessage", "iCompactZip", "iCompileSFX",
    "iProcessInfo", "iCompactCAB", "iInitProcess", "iDelTemp", "iMain", "iSFXOpt", "iAut", "iCont", "iSubstArq",
    "iAll", "iSomInex", "iSomAnt", "iAtalhos", "iLimpar", "iLocal", "iArquivo", "iAtalho", "iAreaTrab", "iMenuIni",
    "iProgIni", "iInit", "iInstDir", "iFileLoc", "iAddParam", "iFolder", "iDescr", "iOK", "iCalcel",
    "iBaseProgFiles", "iBaseCommonDocs", "iBaseMyDocs", "iBaseUserDesktop", "iBaseSfxDir", "iBaseExtractDir",
    "iDevelopedBy", "iTipSwitch", "iTipCompact", "iTipLevel", "iTipOverwrite", "iTipEntries", "iTipBaseFolder"};

const QString kShipped = QStringLiteral(PW_LANGUAGES_DIR);

}  // namespace

TEST(LanguageWindow, WithoutALanguageFileTheBuiltInTextsApply)
{
    Fixture f;
    f.ChooseLanguage(QStringLiteral("Nowhere"));
    TMainForm& m = *f.form;
    EXPECT_EQ(m.Label4->text(), QStringLiteral("Idioma:"));
    EXPECT_EQ(m.Tabs->tabText(m.Tabs->indexOf(m.Idiomas)), QStringLiteral("Idioma:"));
    EXPECT_EQ(m.Tabs->tabText(m.Tabs->indexOf(m.Sobre)), QStringLiteral("Sobre ..."));
    EXPECT_EQ(m.Button2->text(), QStringLiteral("&Remover"));
    EXPECT_EQ(m.OverCb->itemText(1), QStringLiteral("Somente inexistentes"));
    EXPECT_EQ(m.Label6->text(), QStringLiteral("Versão:"));
    EXPECT_EQ(m.Label17->text(), QStringLiteral("Versão " PW_PROGRAM_VERSION));
    EXPECT_EQ(m.Aut->text(), QString());
    EXPECT_EQ(m.SilForm->windowTitle(), QStringLiteral("Editar comandos para instalação silenciosa"));
    EXPECT_EQ(m.SilForm->Button5->text(), QStringLiteral("Google"));
    EXPECT_EQ(m.AddAtalhoForm->Label1->text(), QStringLiteral("Local:"));
    QStringList locations;
    for (int i = 0; i < m.AddAtalhoForm->ComboBox1->count(); ++i)
        locations.append(m.AddAtalhoForm->ComboBox1->itemText(i));
    EXPECT_EQ(locations, (QStringList{"Área de trabalho", "Menu Iniciar", "Programas no Menu Iniciar", "Inicialização"}));
    EXPECT_EQ(m.Driver().texts.MessageStr, QStringLiteral("Arquivo criado com sucesso!"));
    EXPECT_EQ(m.Driver().texts.DelTempStr, QStringLiteral("Excluindo arquivos temporários ..."));
    EXPECT_EQ(f.AllTexts().value(QStringLiteral("MainForm.Tweaks")), QStringLiteral("Entries"));
}

// The windows are made with their own captions; a language, also one without a file, replaces them with
// its texts, which differ from those captions in six places only.
TEST(LanguageWindow, TheCaptionsTheWindowsAreMadeWithDifferFromTheBuiltInTextsInSixPlaces)
{
    Fixture f;
    const QMap<QString, QString> made = f.AllTexts();
    f.ChooseLanguage(QStringLiteral("Nowhere"));
    const QMap<QString, QString> applied = f.AllTexts();
    ASSERT_EQ(made.keys(), applied.keys());
    QMap<QString, QStringList> changed;
    for (auto it = made.begin(); it != made.end(); ++it) {
        if (it.value() != applied.value(it.key()))
            changed.insert(it.key(), {it.value(), applied.value(it.key())});
    }
    const QMap<QString, QStringList> expected = {
        {"MainForm.Label4", {"Língua:", "Idioma:"}},
        {"MainForm.Idiomas", {"Idiomas", "Idioma:"}},
        {"MainForm.Sobre", {"Sobre", "Sobre ..."}},
        {"MainForm.Button2", {"&Excluir", "&Remover"}},
        {"MainForm.OverCb#1", {"Somente os inexistentes", "Somente inexistentes"}},
    };
    EXPECT_EQ(changed, expected);
}

TEST(LanguageWindow, AFileWithOnlyAFontChangesTheFaceOfBothWindowsAndNoText)
{
    Fixture f;
    f.ChooseLanguage(QString());
    const QMap<QString, QString> builtIn = f.AllTexts();
    QFont large = f.form->SilForm->font();
    large.setPointSize(14);
    f.form->SilForm->setFont(large);
    const QString shortcutFace = f.form->AddAtalhoForm->font().family();

    f.Language(QStringLiteral("Mono"), "[Info]\r\niFont=Courier New\r\n");
    f.ChooseLanguage(QStringLiteral("Mono"));
    EXPECT_EQ(f.AllTexts(), builtIn);
    EXPECT_EQ(f.form->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(f.form->font().pointSize(), 8);
    EXPECT_EQ(f.form->SilForm->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(f.form->SilForm->font().pointSize(), 8);
    EXPECT_EQ(f.form->AddAtalhoForm->font().family(), shortcutFace);
}

// After the start-up, a language chosen renames the lists' rows and keeps what each list says: the next
// build uses the level and overwrite mode the user chose.
TEST(LanguageWindow, ChangingLanguageKeepsEveryChoiceInTheNewWording)
{
    Fixture f;
    f.Language(QStringLiteral("English"), "[Strings]\r\niComprUltra=Ultra (en)\r\niSomAnt=Older (en)\r\n");
    f.form->FormShow();
    f.form->ComprLev->setCurrentIndex(4);
    f.form->OverCb->setCurrentIndex(2);
    f.form->AddAtalhoForm->ComboBox1->setCurrentIndex(3);
    f.form->AddAtalhoForm->ComboBox2->setCurrentIndex(4);
    f.ChooseLanguage(QStringLiteral("English"));
    EXPECT_EQ(f.form->ComprLev->currentText(), QStringLiteral("Ultra (en)"));
    EXPECT_EQ(f.form->OverCb->currentText(), QStringLiteral("Older (en)"));
    EXPECT_EQ(f.form->AddAtalhoForm->ComboBox1->currentIndex(), 3);
    EXPECT_EQ(f.form->AddAtalhoForm->ComboBox2->currentIndex(), 4);
    EXPECT_EQ(f.form->CurrentBuildInputs().compressionLevel, 4);
}

// The installer kind beside the switch field is named in the window's language, and follows a change of it.
TEST(LanguageWindow, TheInstallerKindIsNamedInTheChosenLanguage)
{
    Fixture f;
    f.Language(QStringLiteral("English"), "[Strings]\r\niKindUnknown=unknown\r\n");
    f.dir.write("program/tool.exe", "MZ");
    f.Scan(f.program);
    f.Choose(QStringLiteral("tool.exe"));
    EXPECT_EQ(f.form->InstKind->text(), BuildTexts().KindUnknownStr);
    f.ChooseLanguage(QStringLiteral("English"));
    EXPECT_EQ(f.form->InstKind->text(), QStringLiteral("unknown"));
    f.ChooseLanguage(QString());
    EXPECT_EQ(f.form->InstKind->text(), BuildTexts().KindUnknownStr);
}

TEST(LanguageWindow, VersionWordAppearsTwiceAndQuotedBlanksSurvive)
{
    Fixture f;
    f.Language(QStringLiteral("Test"), "[Strings]\r\niVersion = Release \r\niTitle=\"  Name  \"\r\niName=' N '\r\n"
                                       "[Info]\r\niAuthor=Someone\r\niContact=someone@example.org\r\n");
    f.ChooseLanguage(QStringLiteral("Test"));
    EXPECT_EQ(f.form->Label6->text(), QStringLiteral("Release:"));
    EXPECT_EQ(f.form->Label17->text(), QStringLiteral("Release " PW_PROGRAM_VERSION));
    EXPECT_EQ(f.form->Label5->text(), QStringLiteral("  Name  "));
    EXPECT_EQ(f.form->SilForm->Label3->text(), QStringLiteral(" N "));
    EXPECT_EQ(f.form->AddAtalhoForm->Label6->text(), QStringLiteral(" N "));
    EXPECT_EQ(f.form->Aut->text(), QStringLiteral("Someone"));
    EXPECT_EQ(f.form->Cont->text(), QStringLiteral("someone@example.org"));
}

TEST(LanguageWindow, TextsShowInTheCharsetOfTheFile)
{
    Fixture f;
    const QByteArray main = "\xC3\xEB\xE0\xE2\xED\xE0\xFF";  // "Главная" in Windows-1251
    f.Language(QStringLiteral("Russian"), "[Info]\r\niCharset=Russian\r\n[Strings]\r\niMain=" + main + "\r\n");
    f.Language(QStringLiteral("Lower"), "[Info]\r\niCharset=russian\r\n[Strings]\r\niMain=" + main + "\r\n");
    f.ChooseLanguage(QStringLiteral("Russian"));
    EXPECT_EQ(f.form->Tabs->tabText(0), QStringLiteral("Главная"));
    f.ChooseLanguage(QStringLiteral("Lower"));
    EXPECT_EQ(f.form->Tabs->tabText(0), QStringLiteral("Ãëàâíàÿ"));
}

TEST(LanguageWindow, StoredNameInOtherLetterCaseIsSelectedAndRewritten)
{
    Fixture f;
    QFile::copy(kShipped + QStringLiteral("/English.qmr"), f.dir.path("app/languages/English.qmr"));
    f.dir.write("data/config.qmr", "[Main]\r\nLanguage=english\r\n");
    f.form->FormShow();
    EXPECT_EQ(f.form->LangBox->currentText(), QStringLiteral("English"));
    EXPECT_EQ(pwtest::ReadAll(f.dir.path("data/config.qmr")), "[Main]\r\nLanguage=English\r\n");
    EXPECT_EQ(f.form->Cria->text(), QStringLiteral("&Create file"));
    EXPECT_EQ(f.form->ComprLev->currentIndex(), 0);
}

TEST(LanguageWindow, TheSettingsFileIsWrittenFirst)
{
    Fixture f;
    f.Language(QStringLiteral("English"), "[Strings]\r\niCreateFile=Create\r\n");
    f.form->Model.DataDir = f.dir.path("missing/");
    EXPECT_THROW(f.ChooseLanguage(QStringLiteral("English")), UserError);
    EXPECT_EQ(f.form->Cria->text(), QStringLiteral("&Criar arquivo"));
}

TEST(ShippedLanguages, EnglishHoldsEveryKeyAndPortugueseIsTheBuiltInTexts)
{
    const LanguageFile english(kShipped + QStringLiteral("/English.qmr"));
    const QString missing = QStringLiteral("\x01missing");
    for (const char* key : kInfoKeys)
        EXPECT_NE(english.Info(key, missing), missing) << key;
    for (const char* key : kStringKeys)
        EXPECT_NE(english.String(key, missing), missing) << key;
    // The messages beside the captions, the command line's among them.
    for (const QString& key : BuildTextKeys() + CatalogueTextKeys() + TryTextKeys() + CliTextKeys() + ReopenTextKeys())
        EXPECT_NE(english.String(key.toLatin1().constData(), missing), missing) << key.toStdString();

    Fixture f;
    f.ChooseLanguage(QString());
    QMap<QString, QString> builtIn = f.AllTexts();
    QFile::copy(kShipped + QStringLiteral("/Português (Brasil).qmr"), f.dir.path("app/languages/Português (Brasil).qmr"));
    f.ChooseLanguage(QStringLiteral("Português (Brasil)"));
    QMap<QString, QString> portuguese = f.AllTexts();
    EXPECT_EQ(portuguese.take(QStringLiteral("MainForm.Aut")), QStringLiteral("Brontel"));
    builtIn.remove(QStringLiteral("MainForm.Aut"));
    EXPECT_EQ(portuguese, builtIn);
    EXPECT_TRUE(f.form->Driver().texts == BuildTexts());
    EXPECT_TRUE(f.form->SilForm->texts == CatalogueTexts());
    EXPECT_TRUE(f.form->tryTexts == TryTexts());
    const LanguageFile portugueseFile(kShipped + QStringLiteral("/Português (Brasil).qmr"));
    EXPECT_TRUE(LoadCliTexts(portugueseFile) == CliTexts());
    EXPECT_TRUE(LoadReopenTexts(portugueseFile) == ReopenTexts());
    // The commands that install what a try lacks keep their lines in every language.
    EXPECT_EQ(LoadTryTexts(english).NeedWine32Str.count(QLatin1Char('\n')), 3);
}

TEST(ShippedLanguages, FilesAreSingleByteTextWithCrLfLines)
{
    for (const QString& name : {QStringLiteral("English.qmr"), QStringLiteral("Português (Brasil).qmr")}) {
        const QByteArray bytes = pwtest::ReadAll(kShipped + QLatin1Char('/') + name);
        ASSERT_FALSE(bytes.isEmpty()) << name.toStdString();
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
        EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    }
    EXPECT_TRUE(pwtest::ReadAll(kShipped + QStringLiteral("/Português (Brasil).qmr")).contains("Descri\xE7\xE3o:"));
}

// Each base folder is named for the folder its code makes in the shortcut line (2 the common documents,
// 3 My Documents, 4 the user's desktop), in Portuguese and in English; the codes stay where they were.
TEST(ShippedLanguages, BaseFoldersAreNamedForWhatTheirCodeMakes)
{
    Fixture f;
    auto folders = [&] {
        QStringList texts;
        for (int i = 0; i < f.form->AddAtalhoForm->ComboBox2->count(); ++i)
            texts.append(f.form->AddAtalhoForm->ComboBox2->itemText(i));
        return texts;
    };
    f.ChooseLanguage(QString());
    EXPECT_EQ(folders(), (QStringList{"", "Arquivos de programas", "Documentos comuns", "Meus documentos",
                                      "Área de trabalho do usuário", "Diretório do SFX", "Diretório da extração"}));
    QFile::copy(kShipped + QStringLiteral("/English.qmr"), f.dir.path("app/languages/English.qmr"));
    f.ChooseLanguage(QStringLiteral("English"));
    EXPECT_EQ(folders(), (QStringList{"", "Program Files", "Common documents", "My Documents", "User's desktop",
                                      "Self-extractor's folder", "Extraction folder"}));
    EXPECT_EQ(f.form->Label14->text(), QStringLiteral("Developed by Brontel"));
    f.form->AddAtalhoForm->ComboBox2->setCurrentIndex(4);
    EXPECT_EQ(f.form->AddAtalhoForm->Entry().subItem(ShortcutEntry::FolderCode), QStringLiteral("4"));
}

// Qt's own dialogs speak the chosen language: in Portuguese their buttons are Portuguese, in English Qt's own.
TEST(ShippedLanguages, QtsOwnDialogsSpeakTheChosenLanguage)
{
    Fixture f;
    for (const QString& name : {QStringLiteral("English.qmr"), QStringLiteral("Português (Brasil).qmr")})
        QFile::copy(kShipped + QLatin1Char('/') + name, f.dir.path("app/languages/" + name));
    f.ChooseLanguage(QStringLiteral("Português (Brasil)"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Procurar em:"));
    f.ChooseLanguage(QStringLiteral("English"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}
