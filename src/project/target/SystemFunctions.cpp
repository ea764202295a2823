#include "project/target/SystemFunctions.h"

#include "platform/ProfileFile.h"

#include <QHash>

#include <utility>

namespace pw {
namespace {

// Whether a Windows of the version `introduced` ("6.0"; "none" for no Windows) is at most `target`.
bool Reaches(const QByteArray& introduced, WindowsTarget target)
{
    const QList<QByteArray> parts = introduced.trimmed().split('.');
    bool majorOk = false, minorOk = false;
    const int major = parts.value(0).toInt(&majorOk);
    const int minor = parts.size() == 2 ? parts[1].toInt(&minorOk) : 0;
    if (!majorOk || (parts.size() == 2 && !minorOk) || parts.size() > 2)
        return false;
    const WindowsTargetFacts& facts = FactsOf(target);
    return std::pair(major, minor) <= std::pair(facts.major, facts.minor);
}

}  // namespace

QString SystemFunctionsFilePath(const QString& appDir)
{
    return appDir + QStringLiteral("SystemFunctions.qmr");
}

bool SystemFunctions::HasLibrary(const QByteArray& library, WindowsTarget target) const
{
    const QByteArray name = library.toLower();
    for (const auto& [key, introduced] : ProfileSectionValues("Libraries", path_)) {
        const QByteArray pattern = key.toLower();
        const bool matches = pattern.endsWith('*') ? name.startsWith(pattern.chopped(1)) : name == pattern;
        if (matches)
            return Reaches(introduced, target);
    }
    return true;
}

QList<QByteArray> SystemFunctions::MissingFunctions(const QByteArray& library, const std::vector<QByteArray>& functions,
                                                    WindowsTarget target) const
{
    // Keys match without regard to case, as in every profile file.
    QHash<QByteArray, QByteArray> introduced;
    for (const auto& [function, version] : ProfileSectionValues(library, path_))
        introduced.insert(function.toLower(), version);
    QList<QByteArray> missing;
    for (const QByteArray& function : functions) {
        const auto found = introduced.constFind(function.toLower());
        if (found != introduced.cend() && !Reaches(*found, target))
            missing.append(function);
    }
    return missing;
}

}  // namespace pw
