#pragma once
// The texts a language file gives beside the windows' captions: the build's status and message texts,
// the words of the window and the command line around a build, the catalogue editor's refusals and
// what a try of an add-on says.
// Every text the file does not hold keeps its built-in Portuguese.
#include "catalogue/CatalogueEdit.h"
#include "pipeline/BuildTexts.h"
#include "tryout/TryTexts.h"

#include <QStringList>

namespace pw {

class LanguageFile;

BuildTexts LoadBuildTexts(const LanguageFile& file);
CatalogueTexts LoadCatalogueTexts(const LanguageFile& file);
TryTexts LoadTryTexts(const LanguageFile& file);

// The locale the language file speaks ("iLocale" of section "Info", an ICU locale such as "en"), in
// which the language of a start file's version data is named; the built-in texts speak "pt_BR".
QByteArray LanguageLocale(const LanguageFile& file);

// The keys of section "Strings" that these read.
QStringList MessageKeys();

}  // namespace pw
