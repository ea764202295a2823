#pragma once
// What opening an add-on again says, in the window and on the command line alike: why it could not be
// opened, and each part of it that could not be read back. A language file may replace every one of
// them; the built-in texts are Portuguese, as the program's are.
#include "reopen/AddOnReader.h"

#include <QString>
#include <QStringList>

namespace pw {

struct ReopenTexts {
    // Why the add-on cannot be opened (%1: the add-on, or the folder its program was to go into).
    QString FolderNotEmptyStr = QStringLiteral("%1 já existe e não está vazia: o programa do complemento não é extraído nela");
    QString NoSevenZipStr = QStringLiteral("abrir um complemento precisa do 7-Zip (sudo apt install p7zip-full)");
    QString NotAddOnStr = QStringLiteral("%1 não pôde ser aberto: não é um arquivo CAB ou está danificado ou cortado (%2)");
    QString NoProgramStr = QStringLiteral("%1 não é um complemento: não tem a pasta svcpack");
    // What could not be read back (%1: its detail).
    QString NoEntriesStr = QStringLiteral("o complemento não tem arquivo de entradas (ENTRIES_*.ini): o texto de entradas embutido é usado");
    QString NoAddProgramStr = QStringLiteral("o arquivo de entradas não tem comando em [AddProgram]");
    QString GeneralKeysStr = QStringLiteral("o arquivo de entradas não tem estas chaves de [General]; seus campos ficam vazios: %1");
    QString StartCommandStr = QStringLiteral("o comando de instalação não é um que o Packwright escreve, e seu programa de instalação e comando silencioso não foram lidos: %1");
    QString ConfigLineStr = QStringLiteral("linha da configuração do auto-executável que o Packwright não escreve, deixada de fora: %1");
    QString LevelStr = QStringLiteral("a compressão do auto-executável (%1) não é a de nenhum nível; o nível 0 é usado");
    QString LevelUndecidedStr = QStringLiteral("os níveis de compressão %1 servem ao auto-executável, e comprimir o programa de novo não os distingue; o primeiro é usado");

    bool operator==(const ReopenTexts&) const = default;
};

// Why `addOn` could not be opened (`opened.failure` is not None).
QString FailureText(const ReopenedAddOn& opened, const QString& addOn, const ReopenTexts& texts);
// A part that could not be read back, in words.
QString UnreadText(const UnreadPart& part, const ReopenTexts& texts);

class LanguageFile;
// The texts `file` gives, each one it lacks built in; and the keys of section "Strings" they are read from.
ReopenTexts LoadReopenTexts(const LanguageFile& file);
QStringList ReopenTextKeys();

}  // namespace pw
