#include "catalogue/CatalogueEdit.h"

#include "language/LanguageTexts.h"

namespace pw {
namespace {

const TextKey<CatalogueTexts> kKeys[] = {
    {"iNameComma", &CatalogueTexts::NameHasCommaStr},
    {"iOneLine", &CatalogueTexts::LineBreakStr},
    {"iEmptyEntry", &CatalogueTexts::EmptyEntryStr},
};

}  // namespace

CatalogueTexts LoadCatalogueTexts(const LanguageFile& file)
{
    return LoadTexts(file, kKeys);
}

QStringList CatalogueTextKeys()
{
    return KeysOf(kKeys);
}

}  // namespace pw
