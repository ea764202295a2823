#pragma once
// Status and message texts of a build and of what the window and the command line say around it; a
// language file may replace every one of them. The built-in texts are Portuguese.
#include "project/installer/InstallerKind.h"

#include <QString>
#include <QStringList>

#include <iterator>

namespace pw {

struct BuildTexts {
    QString MessageStr = QStringLiteral("Arquivo criado com sucesso!");
    QString ErrMessageStr = QStringLiteral("Ocorreu um erro ao criar o arquivo!");
    QString CompactZipStr = QStringLiteral("Compactando com 7-Zip ...");
    QString CompileSFXStr = QStringLiteral("Compilando auto-executável SFX ...");
    QString ProcessInfoStr = QStringLiteral("Processando informações ...");
    QString CompactCABStr = QStringLiteral("Compactando CAB ...");
    QString InitProcessStr = QStringLiteral("Inicializando processos ...");
    QString DelTempStr = QStringLiteral("Excluindo arquivos temporários ...");

    // Why a build does not start. The output may not go into the program folder being packed, nor into
    // the data folder, whose temporary files the clean-up deletes.
    QString OutputFolderRefusedStr =
        QStringLiteral("O arquivo \"%1\" não pode ser criado nesta pasta. Escolha outra pasta para o arquivo.");
    // The folder shown is not the one whose files were listed (typed and never read, or not existing).
    QString FolderNotReadStr = QStringLiteral("A pasta \"%1\" não foi lida. Escolha uma pasta existente (saia do "
                                              "campo ou use o botão \"...\") e selecione o programa.");
    QString NoStartFileStr = QStringLiteral("Selecione o programa de instalação antes de criar o arquivo.");
    // Also the status line's word when the start file goes while the window shows it.
    QString StartFileMissingStr = QStringLiteral("O programa \"%1\" não existe mais na pasta \"%2\".");
    QString AppFileMissingStr = QStringLiteral("O arquivo \"%1\" não foi encontrado na pasta \"%2\". O complemento "
                                               "precisa dele: coloque-o nessa pasta e crie o arquivo de novo.");

    // What is wrong with a folder the user named: the output's, the one of "/SHL", the program folder.
    QString NoFolderStr = QStringLiteral("A pasta \"%1\" não existe.");
    QString FolderGoneStr = QStringLiteral("A pasta \"%1\" não existe mais.");
    QString ReadOnlyFolderStr =
        QStringLiteral("Não é possível gravar na pasta \"%1\": ela é somente leitura ou falta permissão.");
    QString DiskFullStr = QStringLiteral("Não há mais espaço no disco da pasta \"%1\".");
    QString EmptyFolderStr = QStringLiteral("A pasta \"%1\" está vazia.");
    // The status line after a scan of a folder with no file the add-on could start.
    QString NoStartFilesStr = QStringLiteral("A pasta \"%1\" não tem programa de instalação (arquivo .exe, .bat, "
                                             ".cmd, .com, .msi ou .inf).");
    QString NotStartFileStr = QStringLiteral("\"%1\" não é um programa de instalação da pasta \"%2\" (um arquivo "
                                             ".exe, .bat, .cmd, .com, .msi ou .inf dessa pasta).");

    // After a success the window names the file and offers to open its folder.
    QString OpenFolderStr = QStringLiteral("Abrir a pasta que contém \"%1\"?");
    // The status line after a build that made its file, and the key that stops the packing.
    QString FileMadeStr = QStringLiteral("Arquivo criado: %1");
    QString StopKeyStr = QStringLiteral("(tecle %1 para interromper)");
    // The command line's last word when Ctrl+C stopped the build.
    QString StoppedStr = QStringLiteral("Interrompido: o arquivo \"%1\" não foi criado.");

    // What kept a build from its working folder or from a file, said after the message of the failure.
    QString NotAFolderStr = QStringLiteral("\"%1\" não é uma pasta.");
    QString FolderTakesNoFilesStr = QStringLiteral("A pasta \"%1\" não aceita arquivos novos: ela pertence ao sistema "
                                                   "e não é lugar para guardar arquivos.");
    QString CabinetNotMadeStr = QStringLiteral("Não foi possível criar o arquivo \"%1\".");
    QString FolderUnusableStr = QStringLiteral("A pasta \"%1\" não pode ser usada: %2.");
    // A file of the program folder (named relative to it) that could not be read, and why.
    QString UnreadableFileStr = QStringLiteral("Não foi possível ler o arquivo \"%1\": %2.");
    QString NoReadPermissionStr = QStringLiteral("falta permissão de leitura");
    QString FileVanishedStr = QStringLiteral("o arquivo não existe mais");
    QString ReadErrorStr = QStringLiteral("erro de leitura do disco");
    // A compacted add-on is a single cabinet: its self-extractor must fit in one.
    QString InstallerTooBigStr =
        QStringLiteral("O auto-executável \"%1\" teria pelo menos %2 bytes, mais do que cabe em um arquivo CAB (%3 "
                       "bytes). Escolha um nível de compressão maior ou retire arquivos da pasta do programa.");
    // Names and values an add-on cannot carry (NameRules). %1 is the file, named relative to the program
    // folder, the output's file name, or the value; a character is shown with its code point.
    QString NameCharacterStr = QStringLiteral("O nome \"%1\" contém o caractere %2, que o Windows não aceita em nomes "
                                              "de arquivo. Renomeie-o e crie o arquivo de novo.");
    QString NameDotBlankStr = QStringLiteral("O nome \"%1\" termina em ponto ou espaço, que o Windows tira do nome: o "
                                             "arquivo ficaria com outro nome ou se perderia. Renomeie-o.");
    QString NameDeviceStr = QStringLiteral("O nome \"%1\" é o do dispositivo %2 do Windows: CON, PRN, AUX, NUL, COM1 a "
                                           "COM9 e LPT1 a LPT9 não servem de nome de arquivo, nem com extensão. "
                                           "Renomeie-o.");
    QString NameCaseStr = QStringLiteral("Os nomes \"%1\" e \"%2\" só diferem em maiúsculas e minúsculas, que o "
                                         "Windows não distingue: um arquivo substituiria o outro. Renomeie um deles.");
    QString NameRunnerStr = QStringLiteral("O nome \"%1\" é o do programa \"%2\", que o complemento leva ao lado do "
                                           "programa de instalação. Renomeie o arquivo.");
    QString NameLengthStr = QStringLiteral("O nome \"%1\" é longo demais para um arquivo CAB: lá ele seria \"%2\", "
                                           "com %3 bytes, e cabem no máximo %4. Encurte o nome.");
    QString FileSizeStr = QStringLiteral("O arquivo \"%1\" tem %2 bytes, mais do que um arquivo CAB pode guardar (%3 "
                                         "bytes).");
    QString NameCodePageStr = QStringLiteral("\"%1\" contém o caractere %2, que o arquivo de entradas (página de código "
                                             "%3) não pode guardar: a instalação do Windows não acharia o programa. "
                                             "Escolha um nome ou comando sem esse caractere.");
    QString NamePercentStr = QStringLiteral("O nome do arquivo de comandos \"%1\" contém \"%\": o cmd o trocaria pelo "
                                            "valor de uma variável e não rodaria o arquivo. Renomeie-o sem \"%\".");
    QString LineBreakStr = QStringLiteral("O texto \"%1\" tem uma quebra de linha. O comando silencioso, os dados do "
                                          "programa e os textos dos atalhos devem caber numa linha só.");
    QString NoOutputNameStr = QStringLiteral("O nome de arquivo \"%1\" não tem nada antes da extensão: o complemento e o "
                                             "seu arquivo de entradas ficariam sem nome. Dê um nome ao arquivo.");
    QString NameBlankStr = QStringLiteral("O nome \"%1\" tem um espaço: o Windows roda a linha de [AddProgram] como está, "
                                          "e o espaço cortaria ali o nome do programa. Use um nome sem espaços.");
    QString ShortcutNoTargetStr = QStringLiteral("O atalho \"%1\" não tem arquivo de destino: o instalador não o criaria. "
                                                 "Escolha o arquivo que o atalho abre.");

    // An .exe start file without a silent switch opens its first page during Windows setup and waits
    // there for ever. %1 is the start file. The window asks before it builds; the command line warns.
    QString NoSwitchStr = QStringLiteral("\"%1\" vai ser executado sem comando para instalação silenciosa: durante a "
                                         "instalação do Windows ele pode abrir a sua primeira janela e esperar "
                                         "para sempre.");
    QString BuildAnywayStr = QStringLiteral("Criar assim mesmo");
    QString GoBackStr = QStringLiteral("Voltar");
    // The command line's word for the switch it took from the installer it recognised: %1 the
    // installer's kind, %2 its switch.
    QString KindSwitchStr = QStringLiteral("Instalador %1: comando %2");
    // The window's "Testar": the title of the dialog that asks for the add-on to try.
    QString ChooseAddonStr = QStringLiteral("Escolha o complemento a testar");
    // The window's "Abrir": the dialogs that ask for the add-on and for the new folder of its program
    // (%1: the add-on's file name), the status line while it opens and after, what of it could not be
    // read (%2: a line each), and the start file chosen in a folder taken later for the opened one's (%1
    // the new, %2 the old), or why none could be.
    QString OpenAddonStr = QStringLiteral("Escolha o complemento a abrir");
    QString ProgramFolderStr = QStringLiteral("Pasta nova para o programa de \"%1\"");
    QString OpeningStr = QStringLiteral("Abrindo \"%1\" ...");
    QString OpenedStr = QStringLiteral("\"%1\" foi aberto: as escolhas com que foi criado estão na janela.");
    QString UnreadPartsStr = QStringLiteral("De \"%1\" não foi possível ler:\n\n%2\n\nO que foi lido está na janela.");
    QString FollowedStr = QStringLiteral("\"%1\" foi escolhido no lugar de \"%2\", o programa de instalação do complemento aberto.");
    QString NoFollowerStr = QStringLiteral("A pasta não tem \"%1\" nem um só programa de instalação de nome igual salvo a "
                                           "versão: escolha-o na lista.");

    // The Windows of the disc, as the warnings below name them.
    QString TargetXpStr = QStringLiteral("Windows XP");
    QString TargetXp64Str = QStringLiteral("Windows XP x64");
    QString Target2003Str = QStringLiteral("Windows Server 2003");
    // What would keep the start file (%1) from running on the disc's Windows: the window asks before it
    // builds, with NoSwitchStr; the command line warns. The Windows is the last argument but one or two.
    QString AppendedSectionStr = QStringLiteral("A criação acrescenta ao texto acima, no arquivo %1 do complemento:");
    QString NothingOpensStr = QStringLiteral("Nenhum programa deste sistema abre \"%1\": é preciso um gerenciador de "
                                             "arquivos ou um navegador, e o pacote xdg-utils.");
    QString TargetNotAProgramStr = QStringLiteral("\"%1\" não é um programa do Windows válido (está vazio, cortado ou é "
                                                  "de outro tipo): o %2 não o iniciaria, e a instalação falharia com o "
                                                  "erro 193.");
    QString TargetMachineStr = QStringLiteral("\"%1\" é um programa para %2, que o %3 não executa: ele não iniciaria.");
    QString TargetSubsystemStr = QStringLiteral("\"%1\" pede o Windows %2 ou mais novo: o %3 o recusa como \"não é "
                                                "um aplicativo Win32 válido\".");
    QString TargetLibrariesStr = QStringLiteral("\"%1\" precisa de bibliotecas que o %2 não traz: %3. Sem elas ele não "
                                                "inicia.");
    QString TargetFunctionsStr = QStringLiteral("\"%1\" usa funções que o %2 não tem: %3. Ele pararia ao iniciar com "
                                                "\"ponto de entrada não encontrado\".");
    // Closes a list of libraries or functions cut short: %1 how many more there are.
    QString TargetMoreStr = QStringLiteral("e mais %1");
    QString TargetInstallerDownloadStr = QStringLiteral("\"%1\" precisa do Windows Installer %2; o %3 traz o 3.1, e o "
                                                        "4.5 é um download à parte, que precisa ser instalado antes.");
    QString TargetInstallerMissingStr = QStringLiteral("\"%1\" precisa do Windows Installer %2, que não existe para o "
                                                       "%3 (o último para ele é o 4.5).");
    QString TargetDotNetStr = QStringLiteral("\"%1\" é um programa .NET que pede o runtime %2: o .NET Framework dessa "
                                             "versão precisa estar instalado no %3, que não o traz.");
    // Follows TargetDotNetStr for a program of the 4.x runtime.
    QString TargetDotNet4Str = QStringLiteral("O .NET Framework 4.0 é o último que o Windows XP aceita: um programa "
                                              "feito para o 4.5 ou mais novo não roda nele.");
    // Beside the installer kind while there are warnings (%1 how many); the warnings are its tooltip.
    QString TargetHintStr = QStringLiteral("Avisos: %1");

    // The name of each installer kind, beside the switch field and in KindSwitchStr (where an unknown one,
    // which has no switch, never comes).
    QString KindUnknownStr = QStringLiteral("desconhecido");
    QString KindNsisStr = QStringLiteral("NSIS (Nullsoft)");
    QString KindInnoSetupStr = QStringLiteral("Inno Setup");
    QString KindInstallShieldStr = QStringLiteral("InstallShield (InstallScript)");
    QString KindInstallShieldMsiStr = QStringLiteral("InstallShield (Windows Installer)");
    QString KindWixBurnStr = QStringLiteral("Pacote WiX Burn");
    QString KindWindowsInstallerStr = QStringLiteral("Pacote do Windows Installer");
    QString KindSevenZipSfxStr = QStringLiteral("Autoextraível do 7-Zip");
    QString KindWinRarSfxStr = QStringLiteral("Autoextraível do WinRAR");
    QString KindIExpressStr = QStringLiteral("Pacote IExpress");
    QString KindMicrosoftUpdateStr = QStringLiteral("Pacote de atualização da Microsoft");
    QString KindWiseStr = QStringLiteral("Wise Installation System");

    bool operator==(const BuildTexts&) const = default;
};

// The name `texts` give the installer kind `kind`.
inline const QString& InstallerKindName(const BuildTexts& texts, InstallerKind kind)
{
    // In the order of InstallerKind.
    static constexpr QString BuildTexts::*kNames[] = {
        &BuildTexts::KindUnknownStr,       &BuildTexts::KindNsisStr,         &BuildTexts::KindInnoSetupStr,
        &BuildTexts::KindInstallShieldStr, &BuildTexts::KindInstallShieldMsiStr, &BuildTexts::KindWixBurnStr,
        &BuildTexts::KindWindowsInstallerStr, &BuildTexts::KindSevenZipSfxStr, &BuildTexts::KindWinRarSfxStr,
        &BuildTexts::KindIExpressStr,      &BuildTexts::KindMicrosoftUpdateStr, &BuildTexts::KindWiseStr,
    };
    static_assert(std::size(kNames) == std::size(kAllInstallerKinds));
    return texts.*kNames[static_cast<int>(kind)];
}

// The status line's resting text.
inline const QString kIdleStatus = QStringLiteral("...");

// A message and what it says more precisely, as one text: the message's own words stay first.
inline QString WithDetail(const QString& message, const QString& detail)
{
    return detail.isEmpty() ? message : message + QStringLiteral("\n\n") + detail;
}

class LanguageFile;
// The texts `file` gives, each one it lacks built in; and the keys of section "Strings" they are read from.
BuildTexts LoadBuildTexts(const LanguageFile& file);
QStringList BuildTextKeys();

}  // namespace pw
