#include "tryout/WindowsErrors.h"

#include <iterator>

namespace pw {
namespace {

struct KnownCode {
    qint64 code;
    const char* text;
};

// The codes an installer's try meets, each with the meaning of Windows' message (its inserts left out).
constexpr KnownCode kKnownCodes[] = {
    {2, "The system cannot find the file specified"},
    {3, "The system cannot find the path specified"},
    {5, "Access is denied"},
    {87, "The parameter is incorrect"},
    {193, "Not a valid Win32 application: a program for another processor, or no program at all"},
    {216, "This version of the program is not compatible with the version of Windows"},
    {740, "The requested operation requires elevation"},
    {1155, "No application is associated with the specified file for this operation"},
    {1602, "User cancelled installation"},
    {1603, "Fatal error during installation"},
    {1618, "Another installation is already in progress"},
    {1619, "This installation package could not be opened"},
    {1620, "This installation package could not be opened: it is not a valid package"},
    {1625, "This installation is forbidden by system policy"},
    {1633, "This installation package is not supported by this processor type"},
    {1638, "Another version of this product is already installed"},
    {1641, "The installer has started a restart"},
    {3010, "A restart is required to complete the install"},
    {0xC0000005, "Access violation: the program crashed"},
    {0xC0000017, "Not enough memory"},
    {0xC000001D, "Illegal instruction"},
    {0xC000007B, "Bad image: a DLL for another processor, or a damaged one"},
    {0xC0000094, "Integer division by zero"},
    {0xC00000FD, "Stack overflow"},
    {0xC0000135, "A DLL the program needs was not found"},
    {0xC0000139, "An entry point was not found in a DLL"},
    {0xC0000142, "A DLL failed to initialise"},
    {0xC000013A, "The program was ended by Ctrl+C"},
    {0xC0000409, "Stack buffer overrun"},
};

// Windows Installer's codes start here; below it an exit code is the program's own, whatever Windows
// would call it.
constexpr qint64 kFirstInstallerCode = 1600;
constexpr qint64 kFirstStatus = 0x80000000;

QString KnownText(qint64 code)
{
    for (const KnownCode& known : kKnownCodes)
        if (known.code == code)
            return QLatin1String(known.text);
    return {};
}

QString WithText(const QString& code, const QString& text)
{
    return text.isEmpty() ? code : QStringLiteral("%1 (%2)").arg(code, text);
}

}  // namespace

QString StartErrorText(qint64 code, const QString& fallback)
{
    const QString known = KnownText(code);
    return WithText(QString::number(code), known.isEmpty() ? fallback : known);
}

QString ExitCodeText(qint64 code)
{
    if (code >= kFirstStatus)
        return WithText(QStringLiteral("0x") + QString::number(code, 16).toUpper(), KnownText(code));
    return WithText(QString::number(code), code >= kFirstInstallerCode ? KnownText(code) : QString());
}

}  // namespace pw
