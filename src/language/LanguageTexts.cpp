#include "language/LanguageTexts.h"

namespace pw {

QByteArray LanguageLocale(const LanguageFile& file)
{
    return file.Info("iLocale", QStringLiteral("pt_BR")).toLatin1();
}

}  // namespace pw
