#pragma once
// What a try of an add-on says: its steps, its verdict, the headings of its report and why it cannot try
// here. A language file may replace every one of them; the built-in texts are Portuguese, as the
// program's are.
#include <QString>
#include <QStringList>

namespace pw {

struct TryTexts {
    // The steps, as the status line shows them.
    QString UnpackingStr = QStringLiteral("Abrindo o complemento ...");
    QString PrefixStr = QStringLiteral("Criando um prefixo descartável do Wine ...");
    QString RunningStr = QStringLiteral("Executando \"%1\" (limite de %2 s) ...");
    QString ComparingStr = QStringLiteral("Comparando arquivos e registro ...");
    QString CleaningStr = QStringLiteral("Removendo o prefixo do Wine ...");

    // Why the try cannot run on this machine, each with what installs the missing piece (Debian).
    QString NoWineStr = QStringLiteral("O Wine não está instalado. Instale-o com:\n  sudo apt-get install wine wine64");
    QString NoXvfbStr = QStringLiteral(
        "O Xvfb, a tela virtual em que o teste roda, não está instalado. Instale-o "
        "com:\n  sudo apt-get install xvfb");
    QString NoSevenZipStr = QStringLiteral(
        "O 7-Zip, que abre o complemento, não está instalado. Instale-o com:\n"
        "  sudo apt-get install p7zip-full");
    // %1: the add-on's 32-bit program.
    QString NeedWine32Str = QStringLiteral(
        "\"%1\" é um programa de 32 bits, e o Wine desta máquina só roda programas de 64 bits. Instale o Wine de "
        "32 bits com:\n  sudo dpkg --add-architecture i386\n  sudo apt-get update\n  sudo apt-get install wine32:i386");
    QString No32BitSystemStr = QStringLiteral(
        "\"%1\" é um programa de 32 bits. O Wine de 32 bits está instalado, mas este sistema não executa programas "
        "de 32 bits (o suporte do kernel a eles está desligado; veja a opção ia32_emulation do kernel).");

    // The try itself could not start or go on.
    QString NoAddonStr = QStringLiteral("O complemento \"%1\" não existe ou não pode ser lido.");
    QString BadLimitStr = QStringLiteral("Os tempos limite devem ser de pelo menos 1 segundo.");
    QString NotCabinetStr = QStringLiteral("\"%1\" não é um complemento que o 7-Zip consiga abrir:\n%2");
    QString NoEntriesStr = QStringLiteral("O complemento não tem um arquivo de entradas ENTRIES_*.ini na raiz.");
    QString NoAddProgramStr = QStringLiteral("O arquivo de entradas \"%1\" não tem uma linha em [AddProgram].");
    QString WineFailedStr = QStringLiteral("O Wine não funcionou: %1");
    QString DisplayFailedStr = QStringLiteral("A tela virtual (Xvfb) não iniciou: %1");
    QString SwapFailedStr = QStringLiteral("Não foi possível trocar os programas de \"%1\" pelas versões x86-64.");
    QString HelperMissingStr = QStringLiteral(
        "O arquivo \"%1\" não foi encontrado na pasta \"%2\"; reinstale o "
        "Packwright.");
    QString ScratchStr = QStringLiteral("Não foi possível preparar a pasta de trabalho \"%1\": %2");
    QString ReportFolderStr = QStringLiteral("Não foi possível gravar o relatório em \"%1\": %2");
    QString StoppedStr = QStringLiteral("Interrompido: o teste não terminou.");

    // The report. %1 in the first: the add-on's file.
    QString TitleStr = QStringLiteral("Teste do complemento %1");
    QString LineStr = QStringLiteral("Linha de [AddProgram]: %1");
    // %1: the Windows, %2: Wine's name for its version.
    QString ImitatedStr = QStringLiteral(
        "Windows imitado: %1 (versão \"%2\" do Wine; o Wine é uma aproximação do Windows, não o próprio).");
    QString Wine64Str = QStringLiteral(
        "O Wine desta máquina só roda programas de 64 bits: os programas do "
        "Packwright no complemento rodaram nas versões x86-64 (%1).");
    QString ResultStr = QStringLiteral("Resultado: %1");
    // The verdicts; all but the first are also the reason a try failed.
    QString SilentStr = QStringLiteral("instalado em silêncio (código de saída %1, %2 s).");
    QString ExitCodeStr = QStringLiteral("FALHOU com o código de saída %1 (%2 s).");
    QString NotStartedStr = QStringLiteral("FALHOU: a linha não pôde ser executada; erro do Windows %1.");
    // %1: the program and its process number.
    QString InputWaitStr = QStringLiteral(
        "FALHOU: %1 esperou por uma tecla, que ninguém digita durante a instalação do Windows (falta o "
        "parâmetro de instalação silenciosa, ou ele está errado).");
    // %1: the start file, %2: the disc's Windows.
    QString WrongArchStr = QStringLiteral(
        "FALHOU: \"%1\" é um programa de 64 bits (x86-64), e o %2 de 32 bits não executa programas de 64 bits.");
    QString NothingInstalledStr = QStringLiteral(
        "Aviso: terminou com sucesso, mas não instalou nada (nenhum arquivo, valor do registro ou atalho).");
    // %1 and %2: which add-on of how many, %3: its file.
    QString AddonStr = QStringLiteral("Complemento %1 de %2: %3");
    // The table after a try of several add-ons: its columns, separated by "|", and its verdicts.
    QString TableHeadStr = QStringLiteral("Complemento|Resultado|Tempo|Arquivos|Registro|Tamanho");
    QString TableSilentStr = QStringLiteral("em silêncio");
    QString TableFailedStr = QStringLiteral("FALHOU");
    QString TableNotTriedStr = QStringLiteral("não testado");
    // %1: the add-ons' size in MB, %2: the share of a 700 MB disc in percent.
    QString TableTotalStr = QStringLiteral("Total: %1 MB de um disco de 700 MB (%2%)");
    QString TimedOutStr = QStringLiteral("FALHOU: não terminou em %1 s e foi encerrado.");
    QString WindowWaitStr = QStringLiteral(
        "FALHOU: esperou numa janela, \"%1\", visível por %2 s (falta o parâmetro "
        "de instalação silenciosa, ou ele está errado).");
    QString NoTitleStr = QStringLiteral("(sem título)");
    QString WindowsStr = QStringLiteral("Janelas que apareceram:");
    QString WindowLineStr = QStringLiteral("%1 (visível por %2 s)");
    QString ScreenshotStr = QStringLiteral("Captura da tela: %1");
    QString LeftStr = QStringLiteral("Processos que continuaram em execução:");
    // %1: a program, %2: its process number, %3 and %4: those of the process that started it.
    QString ProcessStr = QStringLiteral("%1 (%2), iniciado por %3 (%4)");
    QString ProcessOrphanStr = QStringLiteral("%1 (%2), iniciado pelo processo %3, que já terminou");
    QString FilesStr = QStringLiteral("Arquivos adicionados em C:\\:");
    QString RegistryStr = QStringLiteral("Valores adicionados ao registro:");
    QString ShortcutsStr = QStringLiteral("Atalhos criados:");
    QString TempStr = QStringLiteral("Deixado em %TEMP%:");
    QString NothingStr = QStringLiteral("(nada)");
    QString AddonLogStr = QStringLiteral("Registro do complemento: %1");
    QString ReportStr = QStringLiteral("Relatório: %1");

    // The window's dialog of a try's result: the mark before the verdict.
    QString PassedMarkStr = QStringLiteral("OK");
    QString FailedMarkStr = QStringLiteral("FALHOU");

    bool operator==(const TryTexts&) const = default;
};

class LanguageFile;
// The texts `file` gives, each one it lacks built in; and the keys of section "Strings" they are read from.
TryTexts LoadTryTexts(const LanguageFile& file);
QStringList TryTextKeys();

}  // namespace pw
