#include "cli/FromAddOn.h"

#include "platform/Errors.h"
#include "project/FolderScan.h"
#include "reopen/ReopenTexts.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

namespace pw {
namespace {

// The choice each build option stands for: taken from the old add-on when the option is not given.
using Take = std::function<void(BuildInputs& to, const BuildInputs& from)>;
const std::pair<const char*, Take> kChoices[] = {
    {"start", [](BuildInputs& to, const BuildInputs& from) { to.startFile = from.startFile; }},
    {"switch", [](BuildInputs& to, const BuildInputs& from) { to.silentSwitch = from.silentSwitch; }},
    {"no-compact", [](BuildInputs& to, const BuildInputs& from) { to.compact = from.compact; }},
    {"level", [](BuildInputs& to, const BuildInputs& from) { to.compressionLevel = from.compressionLevel; }},
    {"overwrite", [](BuildInputs& to, const BuildInputs& from) { to.overwriteMode = from.overwriteMode; }},
    {"shortcut", [](BuildInputs& to, const BuildInputs& from) { to.shortcuts = from.shortcuts; }},
    {"entries", [](BuildInputs& to, const BuildInputs& from) { to.entriesText = from.entriesText; }},
};

}  // namespace

FromAddOn TakeOldAddOn(CommandLine& cl, const CliTexts& texts, const ReopenTexts& reopenTexts)
{
    FromAddOn from;
    BuildInputs& in = cl.inputs;
    const bool folderGiven = !in.sourceDir.isEmpty();
    // With a folder of the new program given, the old one is extracted only to be read, and then dropped.
    QTemporaryDir dropped;
    const QFileInfo output(cl.output);
    const QString folder = folderGiven ? dropped.filePath(QStringLiteral("program"))
                                       : output.absolutePath() + QLatin1Char('/') + output.completeBaseName()
                                             + QStringLiteral("-files");
    const ReopenedAddOn old = ReopenAddOn(cl.from, folder);
    if (old.failure == ReopenFailure::FolderNotEmpty)
        throw UserError(texts.FromFolderNotEmptyStr.arg(old.detail));
    if (old.failure != ReopenFailure::None)
        throw UserError(FailureText(old, cl.from, reopenTexts));
    for (const UnreadPart& part : old.unread)
        from.notes.append(UnreadText(part, reopenTexts));
    for (const auto& [option, take] : kChoices) {
        if (!cl.given.contains(QLatin1String(option)))
            take(in, old.inputs);
    }
    // The old add-on's switch is a choice too, an empty one included: no installer's switch is offered.
    cl.switchGiven = cl.switchGiven || !old.inputs.startFile.isEmpty();
    in.fields = old.inputs.fields;
    if (!folderGiven) {
        in.sourceDir = old.inputs.sourceDir;
        from.extracted = old.inputs.sourceDir;
    }
    in.folderText = in.sourceDir;
    from.usageError = ShortcutsError(in, texts);
    if (cl.given.contains(QStringLiteral("start")) || !from.usageError.isEmpty())
        return from;
    if (old.inputs.startFile.isEmpty()) {
        from.usageError = texts.FromStartUnknownStr.arg(cl.from);
        return from;
    }
    const std::optional<FolderScanResult> scan = FolderScan(in.sourceDir);
    const QStringList startFiles = scan ? scan->startFiles : QStringList();
    in.startFile = FollowingStartFile(startFiles, old.inputs.startFile);
    if (in.startFile.isEmpty())
        from.usageError =
            texts.FromStartNotFoundStr.arg(in.sourceDir, old.inputs.startFile, startFiles.join(QStringLiteral(", ")));
    return from;
}

}  // namespace pw
