#include "language/LanguageFile.h"

#include "platform/CodePage.h"
#include "platform/ProfileFile.h"

#include <array>
#include <utility>

namespace pw {
namespace {

constexpr int kDefaultCharset = 1;
constexpr int kValueSize = 2048;

// No value read from a file holds a line break, so this default tells a missing key from every value.
const QByteArray kMissing("\n");

}  // namespace

int CharsetFromName(const QByteArray& name)
{
    static const std::array<std::pair<const char*, int>, 17> kCharsets{{
        {"ANSI", 0},       {"Symbol", 2},        {"Shiftjis", 128}, {"Hangeul", 129},    {"GB2312", 134},
        {"ChineseBig5", 136}, {"OEM", 255},      {"Johab", 130},    {"Baltic", 186},     {"Hebrew", 177},
        {"Arabic", 178},   {"Greek", 161},       {"Turkish", 162},  {"Vietnamese", 163}, {"Thai", 222},
        {"Russian", 204},  {"Mac", 77},
    }};
    for (const auto& [charsetName, value] : kCharsets) {
        if (name == charsetName)
            return value;
    }
    return kDefaultCharset;
}

int CodePageOfCharset(int charset)
{
    switch (charset) {
    case 0:    // the Western set of the Windows fonts
    case 2:    // symbol fonts map bytes to glyphs one to one
        return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default:  // the default set follows the system
        return SystemCodePage();
    }
}

QString LanguageFilePath(const QString& appDir, const QString& language)
{
    return language.isEmpty() ? QString() : appDir + QStringLiteral("languages/") + language + QStringLiteral(".qmr");
}

LanguageFile::LanguageFile(const QString& path) : path_(path), charset_(kDefaultCharset)
{
    const QByteArray name = Raw("Info", "iCharset");
    if (name != kMissing)
        charset_ = CharsetFromName(name);
}

QByteArray LanguageFile::Raw(const char* section, const char* key) const
{
    return path_.isEmpty() ? kMissing : GetPrivateProfileString(section, key, kMissing, kValueSize, path_);
}

QString LanguageFile::Value(const char* section, const char* key, const QString& fallback) const
{
    const QByteArray value = Raw(section, key);
    return value == kMissing ? fallback : AnsiToUnicode(value, CodePageOfCharset(charset_));
}

QString LanguageFile::Info(const char* key, const QString& fallback) const
{
    return Value("Info", key, fallback);
}

QString LanguageFile::String(const char* key, const QString& fallback) const
{
    return Value("Strings", key, fallback);
}

}  // namespace pw
