#include "gui/LanguageApply.h"

#include "gui/TAddAtalhoForm.h"
#include "gui/TMainForm.h"
#include "gui/TSilForm.h"
#include "language/LanguageFile.h"
#include "language/LanguageTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace pw {
namespace {

// The texts are set in a fixed order, key by key, as the file is read.
class Texts {
public:
    explicit Texts(const LanguageFile& file) : file_(file) {}

    QString operator()(const char* key, const char* fallback) const
    {
        return file_.String(key, QString::fromUtf8(fallback));
    }
    QString info(const char* key, const char* fallback) const { return file_.Info(key, QString::fromUtf8(fallback)); }

private:
    const LanguageFile& file_;
};

const char* const kFontKey = "iFont";
const char* const kDefaultFont = "MS Sans Serif";

// A window's font takes the file's face at the size it had. The file's character set is the code page its
// texts are decoded with (LanguageFile): Qt fonts carry no character set of their own.
void SetFace(QWidget& window, const QString& face)
{
    QFont font = window.font();
    font.setFamily(face);
    window.setFont(font);
}

void SetTabText(QTabWidget& tabs, QWidget* page, const QString& text)
{
    tabs.setTabText(tabs.indexOf(page), text);
}

void ApplyGeneralPage(TMainForm& f, const Texts& t)
{
    SetFace(f, t.info(kFontKey, kDefaultFont));
    f.Label8->setText(t("iProgFiles", "Arquivos do programa:"));
    f.Label1->setText(t("iSelectProg", "Selecione o programa:"));
    f.Label2->setText(t("iSilenceComm", "Comando para instalação silenciosa:"));
    f.Compact->setText(t("iZipCompress", "Compactar com 7-Zip"));
    f.Edita->setText(t("iEdit", "Editar"));
    f.GroupBox1->setTitle(t("iProgData", "Dados do programa:"));
    f.Label9->setText(t("iDescription", "Descrição:"));
    f.Label4->setText(t("iLanguage", "Idioma:"));
    f.Label5->setText(t("iTitle", "Título:"));
    f.Label6->setText(t("iVersion", "Versão") + QLatin1Char(':'));
    f.Label7->setText(t("iHomePage", "Home-page:"));
    f.Label3->setText(t("iBuildDate", "Data da compilação:"));
    f.Cria->setText(t("iCreateFile", "Criar arquivo"));
    SetTabText(*f.Tabs, f.Sobre, t("iAbout", "Sobre ..."));
    f.GroupBox2->setTitle(t("iInfo", "Informações:"));
    f.Label10->setText(t("iAtualAction", "Ação atual:"));
    f.Label12->setText(t("iCompressLev", "Nível de compressão:"));
    f.Info->setTitle(t("iInfo", "Informações:"));
    f.ComprLev->setItemText(0, t("iComprNone", "Sem compressão"));
    f.ComprLev->setItemText(1, t("iComprFast", "Rápida"));
    f.ComprLev->setItemText(2, t("iComprNormal", "Normal"));
    f.ComprLev->setItemText(3, t("iComprMax", "Máxima"));
    f.ComprLev->setItemText(4, t("iComprUltra", "Ultra"));
    f.ComprLev->setCurrentIndex(2);
    f.Label17->setText(t("iVersion", "Versão") + QStringLiteral(" 2.1.14.2009"));
    SetTabText(*f.Tabs, f.Idiomas, t("iLanguage", "Idioma:"));
    f.OK->setText(t("iApply", "Aplicar"));
}

void ApplyEditor(TSilForm& editor, const QFont& mainFont, const Texts& t)
{
    QFont font = editor.font();
    font.setFamily(t.info(kFontKey, kDefaultFont));
    font.setPointSizeF(mainFont.pointSizeF());
    editor.setFont(font);
    editor.setWindowTitle(t("iEditSilComm", "Editar comandos para instalação silenciosa"));
    editor.Label3->setText(t("iName", "Nome:"));
    editor.Label2->setText(t("iCommand", "Comando:"));
    editor.Button1->setText(t("iChangeSel", "Alterar selecionado"));
    editor.Button3->setText(t("iAdd", "Adicionar"));
    editor.Button4->setText(t("iDelete", "Remover"));
    editor.Button2->setText(t("iClose", "Fechar"));
}

void ApplySfxAndLanguagePages(TMainForm& f, const Texts& t)
{
    SetTabText(*f.Tabs, f.Geral, t("iMain", "Geral"));
    SetTabText(*f.Tabs, f.SFXOpt, t("iSFXOpt", "Opções do SFX"));
    f.Label18->setText(t("iAut", "Autor:"));
    f.Label21->setText(t("iCont", "Contato:"));
    f.Aut->setText(t.info("iAuthor", ""));
    f.Cont->setText(t.info("iContact", ""));
    f.Label20->setText(t("iSubstArq", "Substituir arquivos:"));
    f.OverCb->setItemText(0, t("iAll", "Todos"));
    f.OverCb->setItemText(1, t("iSomInex", "Somente inexistentes"));
    f.OverCb->setItemText(2, t("iSomAnt", "Somente os antigos"));
    f.OverCb->setCurrentIndex(0);
    f.GroupBox3->setTitle(t("iAtalhos", "Atalhos:"));
    f.Button1->setText(t("iAdd", "Adicionar"));
    f.Button2->setText(t("iDelete", "Remover"));
    f.Button3->setText(t("iLimpar", "Limpar"));
    f.Atalhos->headerItem()->setText(0, t("iLocal", "Local"));
    f.Atalhos->headerItem()->setText(1, t("iArquivo", "Arquivo"));
}

void ApplyShortcutDialog(TAddAtalhoForm& d, const Texts& t)
{
    d.setWindowTitle(t("iAtalho", "Atalho"));
    d.Label1->setText(t("iLocal", "Local") + QLatin1Char(':'));
    d.ComboBox1->setItemText(0, t("iAreaTrab", "Área de trabalho"));
    d.ComboBox1->setItemText(1, t("iMenuIni", "Menu Iniciar"));
    d.ComboBox1->setItemText(2, t("iProgIni", "Programas no Menu Iniciar"));
    d.ComboBox1->setItemText(3, t("iInit", "Inicialização"));
    d.ComboBox1->setCurrentIndex(0);
    d.Label7->setText(t("iInstDir", "Diretório do arquivo:"));
    d.Label2->setText(t("iFileLoc", "Localização do arqivo:"));
    d.Label3->setText(t("iAddParam", "Parâmetros adicionais:"));
    d.Label4->setText(t("iFolder", "Pasta do atalho:"));
    d.Label5->setText(t("iDescr", "Descrição:"));
    d.Label6->setText(t("iName", "Nome:"));
    d.Button1->setText(t("iOK", "OK"));
    d.Button2->setText(t("iCalcel", "Cancelar"));
}

}  // namespace

void ApplyLanguage(TMainForm& form, const LanguageFile& file)
{
    const Texts texts(file);
    ApplyGeneralPage(form, texts);
    ApplyEditor(*form.SilForm, form.font(), texts);
    form.Driver().texts = LoadBuildTexts(file);
    form.SilForm->texts = LoadCatalogueTexts(file);
    ApplySfxAndLanguagePages(form, texts);
    ApplyShortcutDialog(*form.AddAtalhoForm, texts);
    form.FitToCaptions();
    form.SilForm->FitToCaptions();
}

}  // namespace pw
