#include "pipeline/AddOnNames.h"

#include "pipeline/CabinetLayout.h"
#include "pipeline/EntriesFile.h"
#include "platform/FileNames.h"
#include "platform/FolderWalk.h"
#include "platform/Pacer.h"
#include "project/StartFileKinds.h"

namespace pw {
namespace {

// A path as Windows compares names: each UTF-16 unit by its upper case, so "ß" stays one character and
// no name grows or shrinks.
QString CaseKey(const QString& path)
{
    QString key = path;
    for (QChar& c : key)
        c = c.toUpper();
    return key;
}

QString InCabinet(const QString& cabinetFolder, const QString& path)
{
    return cabinetFolder + QLatin1Char('\\') + QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

}  // namespace

FolderNameCheck::FolderNameCheck(QString cabinetFolder) : cabinetFolder_(std::move(cabinetFolder)) {}

void FolderNameCheck::AddRunner(const QString& name)
{
    runner_ = name;
    runnerKey_ = CaseKey(name);
}

void FolderNameCheck::Check(const QString& path, const FileInformation& info)
{
    Refuse(path, WindowsNameRule(QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1)));
    const QString key = CaseKey(path);
    if (key == runnerKey_)
        throw NameRefused(path, {NameRule::RunnerName, runner_});
    const auto earlier = seen_.constFind(key);
    if (earlier != seen_.cend())
        throw NameRefused(path, {NameRule::SameNameButCase, *earlier});
    seen_.insert(key, path);
    // A cabinet stores files only; a folder's name is part of its files' names.
    if (!cabinetFolder_.isEmpty() && !info.isDirectory()) {
        Refuse(path, TooLongForCabinet(InCabinet(cabinetFolder_, path)));
        Refuse(path, TooLargeForCabinet(info.size));
    }
}

void CheckCabinetFolder(const BuildInputs& in, const std::function<void()>& pump)
{
    FolderNameCheck check(kCabinetProgramFolder);
    if (const Runner* runner = RunnerOf(in.startFile))
        check.AddRunner(runner->program);
    const QString folder = in.sourceDir + QLatin1Char('/');
    Pacer pacer{std::chrono::milliseconds(50)};
    WalkRules rules;
    rules.pump = [&] {
        if (pump && pacer.Due())
            pump();
    };
    WalkFolder(folder, rules, [&](const WalkEntry& entry) { check.Check(entry.path.mid(folder.size()), entry.info); });
}

void CheckAddOnValues(const BuildInputs& in, const QString& target)
{
    QStringList oneLine{in.silentSwitch,    in.fields.Title, in.fields.Version,     in.fields.Language,
                        in.fields.BuildDate, in.fields.Site,  in.fields.Description};
    for (const ShortcutEntry& row : in.shortcuts) {
        if (row.subItem(ShortcutEntry::Target).trimmed().isEmpty())
            throw NameRefused(row.subItem(ShortcutEntry::Name), {NameRule::ShortcutWithoutTarget, {}});
        for (int item = ShortcutEntry::Target; item <= ShortcutEntry::Name; ++item)
            oneLine.append(row.subItem(item));
    }
    for (const QString& value : oneLine)
        Refuse(value, LineBreakIn(value));

    const QString outputName = FileNamePart(target);
    const QString outName = BareFileName(target);
    if (outName.isEmpty())
        throw NameRefused(outputName, {NameRule::EmptyOutputName, {}});
    const QString entriesFile = EntriesFileName(outName);
    Refuse(outputName, WindowsNameRule(entriesFile));
    Refuse(outputName, TooLongForCabinet(entriesFile));
    if (in.compact) {
        // The installer's name is the command of "[AddProgram]".
        const QString installer = outName + QStringLiteral(".exe");
        Refuse(outputName, WindowsNameRule(installer));
        Refuse(outputName, TooLongForCabinet(InstallerNameInCabinet(outName)));
        Refuse(outputName, OutsideCodePage(installer));
        Refuse(outputName, BlankInCommand(installer));
    } else {
        Refuse(in.startFile, OutsideCodePage(in.startFile));
        if (TakesSilentSwitch(in.startFile))
            Refuse(in.silentSwitch, OutsideCodePage(in.silentSwitch));
        Refuse(in.startFile, BlankInCommand(in.startFile));
    }
    Refuse(in.startFile, PercentInBatchFile(in.startFile));
}

}  // namespace pw
