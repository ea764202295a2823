#pragma once
// What packwright-build says about its own command line: --help, usage errors and warnings. A language
// file may replace every one of them; the built-in texts are Portuguese, as the program's are. Option
// names, value names (DIR, FILE, OUTPUT, ...) and the command's name stay as they are typed.
#include <QString>
#include <QStringList>

namespace pw {

struct CliTexts {
    // --help: the word before the command lines, the word for the options in them, the description and
    // the headings. The description names the window's build button by its caption in this language.
    QString UsageStr = QStringLiteral("Uso:");
    QString OptionsWordStr = QStringLiteral("[opções]");
    QString DescriptionStr = QStringLiteral(
        "Cria um complemento do nLite (ou um arquivo 7z simples) a partir da pasta de um programa, como o botão "
        "\"Criar arquivo\" da janela do Packwright.");
    QString OptionsHeadingStr = QStringLiteral("Opções:");
    QString ArgumentsHeadingStr = QStringLiteral("Argumentos:");
    QString OutputHelpStr = QStringLiteral("o arquivo a criar");
    // Two paragraphs, the build's and the try's.
    QString ExitStatusStr = QStringLiteral(
        "Código de saída: 0 quando OUTPUT foi criado, 1 quando a criação falhou (o motivo é mostrado), 2 para um "
        "erro de uso. Avisos (falta de comando silencioso, um programa que não rodaria no Windows de --target) vão "
        "para a saída de erro e não mudam o código.\n"
        "Com --try, 0 quando o complemento instalou em silêncio, 1 quando falhou, excedeu o tempo, esperou numa "
        "janela ou foi interrompido, 2 para um erro de uso, 3 quando não pode ser testado nesta máquina (o motivo "
        "diz o que instalar).");

    // The line of each option in --help.
    QString FromHelpStr = QStringLiteral(
        "o complemento já feito de que partir: cada escolha dele (texto de entradas, programa de instalação e comando, compressão, atalhos) vale quando não é dada aqui; sem --folder, o programa é extraído para a pasta <nome>-files ao lado de OUTPUT, e sem --start o programa de instalação de mesmo nome, ou o único de nome igual salvo os números de versão, é tomado");
    QString FolderHelpStr = QStringLiteral("a pasta do programa a empacotar");
    QString StartHelpStr =
        QStringLiteral("o programa de instalação (.exe .bat .cmd .com .msi .inf), um nome dentro de DIR");
    QString SwitchHelpStr = QStringLiteral(
        "comando de instalação silenciosa do programa de instalação (não para arquivos .inf); sem ele, um .exe de "
        "um instalador reconhecido recebe o comando desse instalador, e --switch \"\" não dá nenhum");
    QString NoCompactHelpStr = QStringLiteral(
        "põe os arquivos da pasta no arquivo CAB como estão, em vez de um auto-executável do 7-Zip");
    QString LevelHelpStr = QStringLiteral(
        "nível de compressão do 7-Zip: 0 nenhuma (padrão), 1 rápida, 2 normal, 3 máxima, 4 ultra");
    QString OverwriteHelpStr = QStringLiteral(
        "como o auto-executável substitui arquivos: 0 todos (padrão), 1 somente inexistentes, 2 somente os "
        "antigos");
    QString ShortcutHelpStr = QStringLiteral(
        "um atalho que o auto-executável cria (pode se repetir), sete campos: "
        "LOC,FOLDER,TARGET,PARAMS,SHORTCUTDIR,DESCRIPTION,NAME. LOC: 0 área de trabalho, 1 menu Iniciar, "
        "2 Programas, 3 Inicialização. FOLDER: 0 nenhuma, 1 Arquivos de programas, 2 documentos compartilhados, "
        "3 meus documentos, 4 área de trabalho, 5 pasta do auto-executável, 6 pasta de extração");
    QString TitleHelpStr = QStringLiteral("o título do complemento ([General] do arquivo de entradas)");
    QString VersionFieldHelpStr = QStringLiteral("sua versão");
    QString LanguageHelpStr = QStringLiteral("o idioma do seu programa");
    QString BuildDateHelpStr = QStringLiteral("sua data de compilação");
    QString SiteHelpStr = QStringLiteral("sua home-page");
    QString DescriptionHelpStr = QStringLiteral("sua descrição");
    QString NoVersionDataHelpStr = QStringLiteral(
        "deixa vazios os campos descritivos não dados (--title a --description); sem ele, eles são preenchidos "
        "com os dados de versão de um programa de instalação .exe, como a janela os preenche quando o programa é "
        "escolhido");
    QString EntriesHelpStr = QStringLiteral("o texto de entradas de que partir (padrão: o embutido)");
    QString FormatHelpStr = QStringLiteral("tipo de saída; padrão: 7z quando OUTPUT termina em .7z, senão cab");
    QString LanguageFileHelpStr = QStringLiteral(
        "o idioma das mensagens: o nome de um arquivo de idioma, como a janela o lista, ou en (inglês) ou pt "
        "(português) (padrão: o idioma escolhido na janela)");
    QString TargetHelpStr = QStringLiteral(
        "o Windows do disco de instalação que recebe o complemento: xp (Windows XP, 32 bits; o padrão), xp64 "
        "(Windows XP x64) ou 2003 (Windows Server 2003). O programa de instalação é verificado para ele antes da "
        "criação, e o que o impediria de rodar lá é um aviso; um teste imita esse Windows");
    QString TryHelpStr = QStringLiteral(
        "em vez de criar, testa o complemento ADDON no Wine, numa tela particular, como a instalação do Windows o "
        "executaria, e relata o que ele fez (precisa de wine, xvfb e p7zip-full). Vários complementos, ou uma pasta "
        "(seus arquivos .cab em ordem de nome), rodam nessa ordem num só prefixo, e uma tabela os resume");
    QString TimeLimitHelpStr =
        QStringLiteral("quanto tempo um teste pode rodar antes de ser encerrado (padrão 600)");
    QString StrictHelpStr = QStringLiteral(
        "um teste cujo complemento não instalou nada (nenhum arquivo, valor do registro ou atalho) falha");
    QString HelpHelpStr = QStringLiteral("este texto");
    QString VersionHelpStr = QStringLiteral("mostra o nome e a versão do programa, e sai");

    // Usage errors. %1 is an option as given (with its dashes) or a value given.
    QString UnknownOptionStr = QStringLiteral("opção desconhecida: %1");
    QString MissingValueStr = QStringLiteral("%1 precisa de um valor");
    QString UnexpectedValueStr = QStringLiteral("%1 não aceita valor");
    // %1: how many fields, %2: the value.
    QString ShortcutFieldsStr = QStringLiteral("--shortcut recebe sete campos separados por vírgulas, não %1: %2");
    QString ShortcutLocationStr = QStringLiteral("o local de --shortcut deve ser de 0 a 3: %1");
    QString ShortcutFolderStr = QStringLiteral("a pasta de --shortcut deve ser de 0 a 6: %1");
    QString ShortcutTargetStr =
        QStringLiteral("--shortcut precisa do arquivo que o atalho abre (o terceiro campo): %1");
    // %1: the option, %2: its highest value, %3: the value given.
    QString RangeStr = QStringLiteral("%1 deve ser de 0 a %2: %3");
    QString TargetStr = QStringLiteral("--target deve ser xp, xp64 ou 2003: %1");
    QString TimeLimitStr = QStringLiteral("--time-limit deve ser um número inteiro de segundos, no mínimo 1: %1");
    QString FormatStr = QStringLiteral("--format deve ser cab ou 7z: %1");
    QString NotWithTryStr = QStringLiteral("%1 não pode ser usado com --try");
    QString OnlyWithTryStr = QStringLiteral("%1 é só para --try");
    // %1: the arguments that are not options.
    QString TryEmptyFolderStr = QStringLiteral("a pasta %1 não tem complementos (arquivos .cab)");
    QString TryAddonStr = QStringLiteral("--try precisa do complemento a testar");
    QString FolderRequiredStr = QStringLiteral("--folder é obrigatório");
    QString StartRequiredStr = QStringLiteral("--start é obrigatório");
    QString ShortcutNoCompactStr = QStringLiteral(
        "--shortcut não pode ser usado com --no-compact: o auto-executável cria os atalhos, e --no-compact o deixa "
        "de fora");
    // %1: the .inf start file.
    QString SwitchInfStr =
        QStringLiteral("--switch não pode ser usado com %1: um arquivo .inf é instalado sem comando");
    QString OutputRequiredStr = QStringLiteral("OUTPUT é obrigatório");
    QString OneOutputStr = QStringLiteral("um só OUTPUT era esperado, mas vieram: %1");
    QString EntriesUnreadableStr = QStringLiteral("não foi possível ler o arquivo de entradas %1");
    // %1: the name given, %2: the program's folder, %3: the language files there are.
    QString NoLanguageFileStr =
        QStringLiteral("--language-file: não há arquivo de idioma chamado %1 em %2languages (há: %3)");
    // The line after a usage error.
    QString SeeHelpStr = QStringLiteral("Veja 'packwright-build --help'.");

    // --from: the program folder the add-on cannot be opened into (%1), and the start file of the new one.
    QString FromFolderNotEmptyStr = QStringLiteral("%1 já existe e não está vazia: o programa do complemento não é extraído nela; dê outra pasta com --folder");
    QString FromStartUnknownStr = QStringLiteral("--start é obrigatório: o programa de instalação de %1 não pôde ser lido");
    QString FromStartNotFoundStr = QStringLiteral("%1 não tem %2 nem um só programa de instalação de nome igual salvo a versão; escolha com --start entre: %3");

    // Something given that works but is likely a slip, and the word before it.
    QString OddExtensionStr = QStringLiteral(
        "%1 não termina em .cab nem em .7z; o nLite e os programas de arquivos reconhecem um arquivo pela extensão");
    QString WarningStr = QStringLiteral("aviso: %1");

    bool operator==(const CliTexts&) const = default;
};

class LanguageFile;
// The texts `file` gives, each one it lacks built in; and the keys of section "Strings" they are read from.
CliTexts LoadCliTexts(const LanguageFile& file);
QStringList CliTextKeys();

}  // namespace pw
