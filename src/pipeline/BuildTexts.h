#pragma once
// Status and message texts of a build; a language file may replace every one of them.
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
    // Not in the language files: why a build does not start. The output may not go into the program
    // folder being packed, nor into the data folder, whose temporary files the clean-up deletes.
    QString OutputFolderRefusedStr =
        QStringLiteral("O arquivo \"%1\" não pode ser criado nesta pasta. Escolha outra pasta para o arquivo.");
    // The folder shown is not the one whose files were listed (typed and never read, or not existing).
    QString FolderNotReadStr = QStringLiteral("A pasta \"%1\" não foi lida. Escolha uma pasta existente (saia do "
                                              "campo ou use o botão \"...\") e selecione o programa.");
    QString NoStartFileStr = QStringLiteral("Selecione o programa de instalação antes de criar o arquivo.");
    QString StartFileMissingStr = QStringLiteral("O programa \"%1\" não existe mais na pasta \"%2\".");
};

// The status line's resting text.
inline const QString kIdleStatus = QStringLiteral("...");

}  // namespace pw
