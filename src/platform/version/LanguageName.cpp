// VerLanguageNameA: the names come from ICU's mapping of Windows language identifiers to locales and
// from its display names, given in the program's chosen language as Windows gives them in the user's.
#include "platform/version/VersionApi.h"

#include "platform/CodePage.h"

#include <unicode/uloc.h>

#include <algorithm>
#include <cstring>

namespace pw {
namespace {

QByteArray& NameLocale()
{
    static QByteArray locale = QByteArrayLiteral("pt_BR");
    return locale;
}

QString LocaleDisplayName(const char* locale)
{
    UChar name[256];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        uloc_getDisplayName(locale, NameLocale().constData(), name, int32_t(std::size(name)), &status);
    if (U_FAILURE(status) || length <= 0 || length > int32_t(std::size(name)))
        return {};
    QString text(reinterpret_cast<const QChar*>(name), length);
    // Some languages write their language names in lower case; Windows shows them as titles.
    text[0] = text[0].toUpper();
    return text;
}

QString LanguageDisplayName(uint16_t language)
{
    const QString neutral = QStringLiteral("Language Neutral");
    char locale[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_getLocaleForLCID(language, locale, sizeof locale - 1, &status);
    if (language == 0 || U_FAILURE(status) || length <= 0 || std::strcmp(locale, "root") == 0)
        return neutral;
    // ICU names 0x0804 plain "Chinese (China)"; with its script it tells simplified from traditional,
    // as Windows does. Other languages would only gain a needless "Latin".
    if (std::strncmp(locale, "zh", 2) == 0) {
        char withScript[ULOC_FULLNAME_CAPACITY] = {};
        status = U_ZERO_ERROR;
        uloc_addLikelySubtags(locale, withScript, sizeof withScript - 1, &status);
        if (U_SUCCESS(status))
            std::memcpy(locale, withScript, sizeof locale);
    }
    const QString name = LocaleDisplayName(locale);
    return name.isEmpty() ? neutral : name;
}

}  // namespace

void SetLanguageNameLocale(const QByteArray& locale)
{
    NameLocale() = locale;
}

uint32_t VerLanguageNameA(uint32_t language, char* buffer, uint32_t size)
{
    if (!buffer || size == 0)
        return 0;
    const QByteArray name = UnicodeToAnsi(LanguageDisplayName(uint16_t(language)));
    const size_t count = std::min<size_t>(size_t(name.size()), size - 1);
    std::copy_n(name.constData(), count, buffer);
    buffer[count] = '\0';
    return uint32_t(count);
}

}  // namespace pw
