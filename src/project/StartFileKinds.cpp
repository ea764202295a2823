#include "project/StartFileKinds.h"

#include "platform/FileNames.h"

namespace pw {
namespace {

// The runner programs answer to these commands: "msistub.exe FILE [ARGS]" (the " /qb-!" that keeps the
// Windows Installer quiet comes from here), "batchrunner.exe FILE [ARGS] [hidcon]" (hidcon hides the
// console) and "infrunner.exe FILE [ARGS]".
const Runner kMsiStub{QStringLiteral("msistub.exe"), QStringLiteral("msistub"), QStringLiteral(" /qb-!"), QString(),
                      false};
const Runner kBatchRunner{QStringLiteral("batchrunner.exe"), QStringLiteral("batchrunner"), QString(),
                          QStringLiteral(" hidcon"), true};
const Runner kInfRunner{QStringLiteral("infrunner.exe"), QStringLiteral("infrunner"), QString(), QString(), false};

// An ".inf" file is installed by its own sections, which take no switch.
const StartFileKind kKinds[] = {
    {QStringLiteral(".exe"), true, nullptr},       {QStringLiteral(".com"), true, nullptr},
    {QStringLiteral(".msi"), true, &kMsiStub},     {QStringLiteral(".bat"), true, &kBatchRunner},
    {QStringLiteral(".cmd"), true, &kBatchRunner}, {QStringLiteral(".inf"), false, &kInfRunner},
};

}  // namespace

const StartFileKind* StartFileKindOf(const QString& startFile)
{
    const QString extension = LowerExtension(startFile);
    for (const StartFileKind& kind : kKinds) {
        if (kind.extension == extension)
            return &kind;
    }
    return nullptr;
}

const Runner* RunnerOf(const QString& startFile)
{
    const StartFileKind* kind = StartFileKindOf(startFile);
    return kind ? kind->runner : nullptr;
}

bool TakesSilentSwitch(const QString& startFile)
{
    const StartFileKind* kind = StartFileKindOf(startFile);
    return kind && kind->takesSwitch;
}

}  // namespace pw
