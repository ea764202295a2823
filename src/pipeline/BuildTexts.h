#pragma once
// Status and message texts of a build and of what the window and the command line say around it; a
// language file may replace every one of them. The built-in texts are Portuguese.
#include <QString>

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
    QString NotStartFileStr = QStringLiteral("\"%1\" não é um programa de instalação da pasta \"%2\" (um arquivo "
                                             ".exe, .bat, .cmd, .com, .msi ou .inf dessa pasta).");

    // The status line after a build that made its file, and the key that stops the packing.
    QString FileMadeStr = QStringLiteral("Arquivo criado: %1");
    QString StopKeyStr = QStringLiteral("(tecle %1 para interromper)");
    // The command line's last word when Ctrl+C stopped the build.
    QString StoppedStr = QStringLiteral("Interrompido: o arquivo \"%1\" não foi criado.");

    // What kept a build from its working folder or from a file, said after the message of the failure.
    QString NotAFolderStr = QStringLiteral("\"%1\" não é uma pasta.");
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

    bool operator==(const BuildTexts&) const = default;
};

// The status line's resting text.
inline const QString kIdleStatus = QStringLiteral("...");

// A message and what it says more precisely, as one text: the message's own words stay first.
inline QString WithDetail(const QString& message, const QString& detail)
{
    return detail.isEmpty() ? message : message + QStringLiteral("\n\n") + detail;
}

}  // namespace pw
