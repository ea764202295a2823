#pragma once
// The Windows an add-on is made for: the installation disc it goes on. Windows setup runs the add-on on
// that Windows, so the start file is checked against it before a build and a try imitates it.
#include <QString>
#include <QStringList>

#include <optional>

namespace pw {

enum class WindowsTarget {
    Xp,          // Windows XP, 32-bit: the usual disc
    Xp64,        // Windows XP Professional x64 Edition
    Server2003,  // Windows Server 2003, 32-bit
};

struct WindowsTargetFacts {
    WindowsTarget target;
    const char* option;     // its word on the command line and in the settings file
    int major, minor;       // the Windows version: the highest subsystem version its loader takes
    bool is64Bit;           // runs x86-64 programs (and 32-bit ones through WoW64)
    const char* wineName;   // the version name Wine's configuration gives it
};

inline constexpr WindowsTargetFacts kWindowsTargets[] = {
    {WindowsTarget::Xp, "xp", 5, 1, false, "winxp"},
    {WindowsTarget::Xp64, "xp64", 5, 2, true, "winxp64"},
    {WindowsTarget::Server2003, "2003", 5, 2, false, "win2003"},
};

inline const WindowsTargetFacts& FactsOf(WindowsTarget target)
{
    for (const WindowsTargetFacts& facts : kWindowsTargets)
        if (facts.target == target)
            return facts;
    return kWindowsTargets[0];
}

// "xp", "xp64" or "2003", in any case; nullopt for anything else.
inline std::optional<WindowsTarget> ParseWindowsTarget(const QString& word)
{
    for (const WindowsTargetFacts& facts : kWindowsTargets)
        if (word.compare(QLatin1String(facts.option), Qt::CaseInsensitive) == 0)
            return facts.target;
    return std::nullopt;
}

inline QString TargetOption(WindowsTarget target) { return QLatin1String(FactsOf(target).option); }

}  // namespace pw
