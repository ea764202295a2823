#include "tryout/HostTools.h"

#include "tryout/ChildRun.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace pw {
namespace {

// Long enough for a loader on a machine that is busy; it answers --version without a prefix or a server.
constexpr int kVersionLimitMs = 20000;

QString Executable(const QString& debianPath, const QString& name)
{
    if (!debianPath.isEmpty() && QFileInfo(debianPath).isExecutable())
        return debianPath;
    return name.isEmpty() ? QString() : QStandardPaths::findExecutable(name);
}

bool IsExecutable(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isExecutable();
}

}  // namespace

TryTools FindTryTools()
{
    TryTools tools;
    tools.wine64 = Executable(QStringLiteral("/usr/lib/wine/wine64"), QStringLiteral("wine64"));
    tools.wine32 = Executable(QStringLiteral("/usr/lib/wine/wine"), QString());
    tools.wineserver = Executable(QString(), QStringLiteral("wineserver"));
    tools.xvfb = Executable(QString(), QStringLiteral("Xvfb"));
    tools.sevenZip = Executable(QString(), QStringLiteral("7z"));
    return tools;
}

HostCheck CheckHost(const TryTools& tools, bool allow32Bit, const TryTexts& texts)
{
    HostCheck check;
    QStringList missing;
    if (!IsExecutable(tools.wine64) || !IsExecutable(tools.wineserver))
        missing << texts.NoWineStr;
    if (!IsExecutable(tools.xvfb))
        missing << texts.NoXvfbStr;
    if (!IsExecutable(tools.sevenZip))
        missing << texts.NoSevenZipStr;
    check.missing = missing.join(QStringLiteral("\n"));
    check.wine32Installed = allow32Bit && IsExecutable(tools.wine32);
    // The loader is itself an i386 program: where the kernel refuses those, it does not start at all.
    if (check.wine32Installed && check.missing.isEmpty()) {
        const ChildRun run = RunCommand({tools.wine32, {QStringLiteral("--version")}}, kVersionLimitMs);
        check.runs32Bit = run.end == RunEnd::Finished && run.exitCode == 0;
    }
    return check;
}

}  // namespace pw
