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
    // Not in the language files: the refusal to write the output into the program folder being packed or
    // into the working folder that the clean-up empties.
    QString OutputFolderRefusedStr =
        QStringLiteral("O arquivo \"%1\" não pode ser criado nesta pasta. Escolha outra pasta para o arquivo.");
};

// The status line's resting text.
inline const QString kIdleStatus = QStringLiteral("...");

}  // namespace pw
