#include "platform/CodePage.h"

#include <QList>

#include <unicode/ucnv.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace pw {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter OpenConverter(int codePage)
{
    // ICU knows the Windows code pages under "windows-N" (125x) or "cpN"/"ibm-N" (OEM and CJK pages).
    for (const QByteArray& name : {"windows-" + QByteArray::number(codePage), "cp" + QByteArray::number(codePage),
                                   "ibm-" + QByteArray::number(codePage)}) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* c = ucnv_open(name.constData(), &status);
        if (U_SUCCESS(status))
            return Converter(c);
    }
    return nullptr;
}

Converter OpenConverterOrLatin1(int codePage)
{
    Converter c = OpenConverter(codePage);
    return c ? std::move(c) : OpenConverter(1252);
}

}  // namespace

int SystemCodePage()
{
    if (const char* value = std::getenv("PACKWRIGHT_CODEPAGE")) {
        bool ok = false;
        const int codePage = QByteArray(value).trimmed().toInt(&ok);
        if (ok && IsKnownCodePage(codePage))
            return codePage;
    }
    return 1252;
}

bool IsKnownCodePage(int codePage)
{
    return codePage > 0 && OpenConverter(codePage) != nullptr;
}

QString AnsiToUnicode(const QByteArray& bytes, int codePage)
{
    if (bytes.isEmpty())
        return {};
    Converter c = OpenConverterOrLatin1(codePage);
    std::vector<UChar> out(bytes.size() * 2 + 1);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(c.get(), out.data(), int32_t(out.size()), bytes.constData(),
                                    int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        return QString::fromLatin1(bytes);
    return QString(reinterpret_cast<const QChar*>(out.data()), n);
}

QByteArray UnicodeToAnsi(const QString& text, int codePage)
{
    if (text.isEmpty())
        return {};
    Converter c = OpenConverterOrLatin1(codePage);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(c.get(), "?", 1, &status);
    status = U_ZERO_ERROR;
    QByteArray out(text.size() * 4 + 4, '\0');
    const int32_t n = ucnv_fromUChars(c.get(), out.data(), int32_t(out.size()),
                                      reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()), &status);
    if (U_FAILURE(status))
        return text.toLatin1();
    out.truncate(n);
    return out;
}

std::optional<char32_t> FirstCharacterOutside(const QString& text, int codePage)
{
    if (AnsiToUnicode(UnicodeToAnsi(text, codePage), codePage) == text)
        return std::nullopt;
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        if (AnsiToUnicode(UnicodeToAnsi(one, codePage), codePage) != one)
            return c;
    }
    return std::nullopt;
}

}  // namespace pw
