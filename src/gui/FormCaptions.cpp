#include "gui/FormCaptions.h"

#include "project/ShortcutEntry.h"

namespace pw {
namespace {

// In the order a language file's keys are read. Six captions of the window differ from the texts of a
// language applied to it, also of a language without a file: those rows say what the window shows first.
const Caption kMainForm[] = {
    {.builtIn = "Packwright"},
    {.control = "Label8", .key = "iProgFiles", .builtIn = "Arquivos do programa:"},
    {.control = "Label1", .key = "iSelectProg", .builtIn = "Selecione o programa:"},
    {.control = "Label2", .key = "iSilenceComm", .builtIn = "Comando para instalação silenciosa:"},
    {.control = "Compact", .key = "iZipCompress", .builtIn = "Compactar com 7-Zip"},
    {.control = "Edita", .key = "iEdit", .builtIn = "&Editar"},
    {.control = "GroupBox1", .key = "iProgData", .builtIn = "Dados do programa:"},
    {.control = "Label9", .key = "iDescription", .builtIn = "Descrição:"},
    {.control = "Label4", .key = "iLanguage", .builtIn = "Idioma:", .beforeLanguage = "Língua:"},
    {.control = "Label5", .key = "iTitle", .builtIn = "Título:"},
    {.control = "Label6", .key = "iVersion", .builtIn = "Versão", .suffix = ":"},
    {.control = "Label7", .key = "iHomePage", .builtIn = "Home-page:"},
    {.control = "Label3", .key = "iBuildDate", .builtIn = "Data da compilação:"},
    {.control = "Cria", .key = "iCreateFile", .builtIn = "&Criar arquivo"},
    {.control = "Label22", .key = "iInstallerKind", .builtIn = "Instalador:"},
    {.control = "Testa", .key = "iTry", .builtIn = "&Testar"},
    {.control = "Abre", .key = "iOpenAddon", .builtIn = "A&brir ..."},
    {.control = "Label23", .key = "iTarget", .builtIn = "Windows do disco:"},
    // The rows in the order of kWindowsTargets: the names of the products, beside a caption that says Windows.
    {.control = "AlvoCb", .item = 0, .builtIn = "XP"},
    {.control = "AlvoCb", .item = 1, .builtIn = "XP x64"},
    {.control = "AlvoCb", .item = 2, .builtIn = "Server 2003"},
    {.control = "Sobre", .key = "iAbout", .builtIn = "Sobre ...", .beforeLanguage = "Sobre"},
    {.control = "GroupBox2", .key = "iInfo", .builtIn = "Informações:"},
    {.control = "Label10", .key = "iAtualAction", .builtIn = "Ação atual:"},
    {.control = "Label12", .key = "iCompressLev", .builtIn = "Nível de compressão:"},
    {.control = "Info", .key = "iInfo", .builtIn = "Informações:"},
    {.control = "ComprLev", .item = 0, .key = "iComprNone", .builtIn = "Sem compressão"},
    {.control = "ComprLev", .item = 1, .key = "iComprFast", .builtIn = "Rápida"},
    {.control = "ComprLev", .item = 2, .key = "iComprNormal", .builtIn = "Normal"},
    {.control = "ComprLev", .item = 3, .key = "iComprMax", .builtIn = "Máxima"},
    {.control = "ComprLev", .item = 4, .key = "iComprUltra", .builtIn = "Ultra"},
    {.control = "Label17", .key = "iVersion", .builtIn = "Versão", .suffix = " " PW_PROGRAM_VERSION},
    {.control = "Idiomas", .key = "iLanguage", .builtIn = "Idioma:", .beforeLanguage = "Idiomas"},
    {.control = "OK", .key = "iApply", .builtIn = "Aplicar"},
    {.control = "Geral", .key = "iMain", .builtIn = "Geral"},
    {.control = "SFXOpt", .key = "iSFXOpt", .builtIn = "Opções do SFX"},
    {.control = "Label18", .key = "iAut", .builtIn = "Autor:"},
    {.control = "Label21", .key = "iCont", .builtIn = "Contato:"},
    {.control = "Aut", .key = "iAuthor", .section = Caption::Info},
    {.control = "Cont", .key = "iContact", .section = Caption::Info},
    {.control = "Label20", .key = "iSubstArq", .builtIn = "Substituir arquivos:"},
    {.control = "OverCb", .item = 0, .key = "iAll", .builtIn = "Todos"},
    {.control = "OverCb", .item = 1, .key = "iSomInex", .builtIn = "Somente inexistentes",
     .beforeLanguage = "Somente os inexistentes"},
    {.control = "OverCb", .item = 2, .key = "iSomAnt", .builtIn = "Somente os antigos"},
    {.control = "GroupBox3", .key = "iAtalhos", .builtIn = "Atalhos:"},
    {.control = "Button1", .key = "iAdd", .builtIn = "&Adicionar"},
    {.control = "Button2", .key = "iDelete", .builtIn = "&Remover", .beforeLanguage = "&Excluir"},
    {.control = "Button3", .key = "iLimpar", .builtIn = "&Limpar"},
    {.control = "Atalhos", .item = 0, .key = "iLocal", .builtIn = "Local"},
    {.control = "Atalhos", .item = 1, .key = "iArquivo", .builtIn = "Arquivo"},
    // The entries file's own name, in every language; the maker's line follows the language.
    {.control = "Tweaks", .builtIn = "Entries"},
    {.control = "Label13", .builtIn = "Packwright"},
    {.control = "Label14", .key = "iDevelopedBy", .builtIn = "Desenvolvido por Brontel"},
    {.control = "Label15", .builtIn = "Seven Zip - https://www.7-zip.org"},
    {.control = "Label16", .builtIn = "nLite - https://www.nliteos.com"},
    // Tooltips of the controls whose meaning their caption does not tell.
    {.control = "SilStr", .key = "iTipSwitch",
     .builtIn = "Parâmetros que instalam o programa sem perguntas nem janelas. Sem eles, um .exe para na "
                "primeira página durante a instalação do Windows.", .toolTip = true},
    {.control = "Compact", .key = "iTipCompact",
     .builtIn = "Empacota a pasta num .exe autoextraível que a instala. Desmarcado, os arquivos vão soltos "
                "no complemento e atalhos não são criados.", .toolTip = true},
    {.control = "ComprLev", .key = "iTipLevel",
     .builtIn = "Quanto mais alta, menor o complemento e mais demorada a criação.", .toolTip = true},
    {.control = "AlvoCb", .key = "iTipTarget",
     .builtIn = "O Windows do disco de instalação em que o complemento vai. O programa é verificado contra ele "
                "antes de criar o arquivo.", .toolTip = true},
    {.control = "OverCb", .key = "iTipOverwrite",
     .builtIn = "O que o autoextraível faz com arquivos que já existem onde ele extrai.", .toolTip = true},
    {.control = "EntriesStr", .key = "iTipEntries",
     .builtIn = "O arquivo de entradas que o nLite lê no complemento. Os dados do programa da página Geral "
                "atualizam a seção [General].", .toolTip = true},
};

const Caption kSilForm[] = {
    {.key = "iEditSilComm", .builtIn = "Editar comandos para instalação silenciosa"},
    {.control = "Label3", .key = "iName", .builtIn = "Nome:"},
    {.control = "Label2", .key = "iCommand", .builtIn = "Comando:"},
    {.control = "Button1", .key = "iChangeSel", .builtIn = "Al&terar selecionado"},
    {.control = "Button3", .key = "iAdd", .builtIn = "&Adicionar"},
    {.control = "Button4", .key = "iDelete", .builtIn = "&Remover"},
    {.control = "Button2", .key = "iClose", .builtIn = "Fechar"},
    {.control = "Button5", .builtIn = "Google"},
};

const Caption kTryForm[] = {
    {.control = "OpenFolder", .key = "iTryOpenFolder", .builtIn = "&Abrir a pasta do relatório"},
    {.control = "Button1", .key = "iClose", .builtIn = "Fechar"},
};

const Caption kAddAtalhoForm[] = {
    {.key = "iAtalho", .builtIn = "Atalho"},
    {.control = "Label1", .key = "iLocal", .builtIn = "Local", .suffix = ":"},
    {.control = "ComboBox1", .item = 0, .key = "iAreaTrab", .builtIn = kShortcutLocations[0]},
    {.control = "ComboBox1", .item = 1, .key = "iMenuIni", .builtIn = kShortcutLocations[1]},
    {.control = "ComboBox1", .item = 2, .key = "iProgIni", .builtIn = kShortcutLocations[2]},
    {.control = "ComboBox1", .item = 3, .key = "iInit", .builtIn = kShortcutLocations[3]},
    {.control = "Label7", .key = "iInstDir", .builtIn = "Diretório do arquivo:"},
    {.control = "Label2", .key = "iFileLoc", .builtIn = "Localização do arqivo:"},
    {.control = "Label3", .key = "iAddParam", .builtIn = "Parâmetros adicionais:"},
    {.control = "Label4", .key = "iFolder", .builtIn = "Pasta do atalho:"},
    {.control = "Label5", .key = "iDescr", .builtIn = "Descrição:"},
    {.control = "Label6", .key = "iName", .builtIn = "Nome:"},
    {.control = "Button1", .key = "iOK", .builtIn = "OK"},
    {.control = "Button2", .key = "iCalcel", .builtIn = "Cancelar"},
    // The base folders, each named for the folder its code makes in the shortcut line (2 the common
    // documents, 3 My Documents, 4 the user's desktop): stored shortcuts and the self-extractor read the
    // codes, so the names follow them.
    {.control = "ComboBox2", .item = 0},
    {.control = "ComboBox2", .item = 1, .key = "iBaseProgFiles", .builtIn = "Arquivos de programas"},
    {.control = "ComboBox2", .item = 2, .key = "iBaseCommonDocs", .builtIn = "Documentos comuns"},
    {.control = "ComboBox2", .item = 3, .key = "iBaseMyDocs", .builtIn = "Meus documentos"},
    {.control = "ComboBox2", .item = 4, .key = "iBaseUserDesktop", .builtIn = "Área de trabalho do usuário"},
    {.control = "ComboBox2", .item = 5, .key = "iBaseSfxDir", .builtIn = "Diretório do SFX"},
    {.control = "ComboBox2", .item = 6, .key = "iBaseExtractDir", .builtIn = "Diretório da extração"},
    {.control = "ComboBox2", .key = "iTipBaseFolder",
     .builtIn = "A pasta do Windows de onde parte a localização do arquivo do atalho.", .toolTip = true},
};

}  // namespace

CaptionTable MainFormCaptions()
{
    return kMainForm;
}

CaptionTable SilFormCaptions()
{
    return kSilForm;
}

CaptionTable TryFormCaptions()
{
    return kTryForm;
}

CaptionTable AddAtalhoFormCaptions()
{
    return kAddAtalhoForm;
}

}  // namespace pw
