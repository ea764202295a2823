// The program folder's names and the values of an add-on held against the rules before anything is
// written: names of one folder that differ only in case, the runner beside the start file, what a cabinet
// stores, and the one-line values, the output's name and the entries file's command.
#include "pipeline/AddOnNames.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

// The rule a check refuses `subject` by, or nothing when it lets it pass.
template <class Check>
std::optional<NameRule> RefusedBy(Check&& check, QString* subject = nullptr, QString* detail = nullptr)
{
    try {
        check();
    } catch (const NameRefused& e) {
        if (subject)
            *subject = e.subject;
        if (detail)
            *detail = e.refusal.detail;
        return e.refusal.rule;
    }
    return std::nullopt;
}

FileInformation File(qint64 size = 0)
{
    FileInformation info;
    info.size = size;
    info.attributes = kAttributeArchive;
    return info;
}

FileInformation Folder()
{
    FileInformation info;
    info.attributes = kAttributeDirectory;
    return info;
}

}  // namespace

TEST(FolderNameCheck, NamesOfOneFolderThatDifferOnlyInCase)
{
    FolderNameCheck check;
    check.Check(QStringLiteral("Readme.txt"), File());
    check.Check(QStringLiteral("Data"), Folder());
    check.Check(QStringLiteral("Data/x.txt"), File());
    check.Check(QStringLiteral("other/readme.txt"), File());
    check.Check(QStringLiteral("straße.txt"), File());
    check.Check(QStringLiteral("STRASSE.txt"), File());  // Windows does not make "ß" two letters
    check.Check(QStringLiteral("😀x.txt"), File());

    QString subject, detail;
    EXPECT_EQ(RefusedBy([&] { check.Check(QStringLiteral("README.txt"), File()); }, &subject, &detail),
              NameRule::SameNameButCase);
    EXPECT_EQ(subject, QStringLiteral("README.txt"));
    EXPECT_EQ(detail, QStringLiteral("Readme.txt"));
    EXPECT_EQ(RefusedBy([&] { check.Check(QStringLiteral("data"), Folder()); }), NameRule::SameNameButCase);
    EXPECT_EQ(RefusedBy([&] { check.Check(QStringLiteral("STRAßE.TXT"), File()); }), NameRule::SameNameButCase);
    EXPECT_EQ(RefusedBy([&] { check.Check(QStringLiteral("Sub/trailing."), File()); }, &subject),
              NameRule::DotOrBlankAtEnd);
    EXPECT_EQ(subject, QStringLiteral("Sub/trailing.")) << "named by its path in the program folder";
}

TEST(FolderNameCheck, TheRunnerBesideTheStartFileTakesItsNameAtTheTop)
{
    FolderNameCheck check;
    check.AddRunner(QStringLiteral("batchrunner.exe"));
    check.Check(QStringLiteral("tools/batchrunner.exe"), File());
    QString detail;
    EXPECT_EQ(RefusedBy([&] { check.Check(QStringLiteral("BatchRunner.EXE"), File()); }, nullptr, &detail),
              NameRule::RunnerName);
    EXPECT_EQ(detail, QStringLiteral("batchrunner.exe"));
}

TEST(FolderNameCheck, CabinetLimitsApplyToTheCabinetsFilesOnly)
{
    const QString fits = QStringLiteral("d/") + QString(245, QLatin1Char('f'));  // svcpack\d\ + 245 = 255
    const QString over = QStringLiteral("d/") + QString(246, QLatin1Char('f'));
    FolderNameCheck cabinet(QStringLiteral("svcpack"));
    cabinet.Check(fits, File(0x7FFF8000));
    cabinet.Check(QStringLiteral("e/") + QString(250, QLatin1Char('g')), Folder());
    QString detail;
    EXPECT_EQ(RefusedBy([&] { cabinet.Check(over, File()); }, nullptr, &detail), NameRule::TooLongForCabinet);
    EXPECT_EQ(detail, QStringLiteral("svcpack\\d\\") + QString(246, QLatin1Char('f')));
    EXPECT_EQ(RefusedBy([&] { cabinet.Check(QStringLiteral("big.iso"), File(0x7FFF8001)); }, nullptr, &detail),
              NameRule::TooLargeForCabinet);
    EXPECT_EQ(detail, QStringLiteral("2147450881"));

    FolderNameCheck archive;
    archive.Check(over, File());
    archive.Check(QStringLiteral("big.iso"), File(0x7FFF8001));
}

TEST(AddOnValues, OneLineValuesOutputNameAndTheEntriesFilesCommand)
{
    BuildInputs in;
    in.startFile = QStringLiteral("setup.exe");
    in.silentSwitch = QStringLiteral("/S");
    in.compact = true;
    in.shortcuts.append(MakeShortcutEntry(QStringLiteral("Desktop"), 0, 1, QStringLiteral("app.exe"), QString(),
                                          QString(), QString(), QStringLiteral("App")));
    const QString target = QStringLiteral("/out/MyApp.cab");
    CheckAddOnValues(in, target);

    QString subject;
    auto refused = [&](BuildInputs changed, const QString& output = QStringLiteral("/out/MyApp.cab")) {
        subject.clear();
        return RefusedBy([&] { CheckAddOnValues(changed, output); }, &subject);
    };
    BuildInputs broken = in;
    broken.silentSwitch = QStringLiteral("/S\n[Evil]");
    EXPECT_EQ(refused(broken), NameRule::LineBreak);
    EXPECT_EQ(subject, QStringLiteral("/S\n[Evil]"));
    broken = in;
    broken.fields.Description = QStringLiteral("first\r\nsecond");
    EXPECT_EQ(refused(broken), NameRule::LineBreak);
    broken = in;
    broken.shortcuts[0].subItems[ShortcutEntry::Name] = QStringLiteral("App\n");
    EXPECT_EQ(refused(broken), NameRule::LineBreak);
    broken = in;
    broken.shortcuts[0].subItems[ShortcutEntry::Target] = QStringLiteral(" ");
    EXPECT_EQ(refused(broken), NameRule::ShortcutWithoutTarget);
    EXPECT_EQ(subject, QStringLiteral("App"));

    // Windows setup runs "My App.exe" as the program "My" with the argument "App.exe".
    EXPECT_EQ(refused(in, QStringLiteral("/out/My App.cab")), NameRule::BlankInCommand);
    EXPECT_EQ(subject, QStringLiteral("My App.cab"));
    EXPECT_EQ(refused(in, QStringLiteral("/out/.cab")), NameRule::EmptyOutputName);
    EXPECT_EQ(subject, QStringLiteral(".cab"));
    EXPECT_EQ(refused(in, QStringLiteral("/out/a?b.cab")), NameRule::Character);
    EXPECT_EQ(refused(in, QStringLiteral("/out/CON.cab")), NameRule::DeviceName) << "svcpack\\CON.exe";
    EXPECT_EQ(refused(in, QStringLiteral("/out/b3 ção😀.cab")), NameRule::OutsideCodePage);
    EXPECT_EQ(subject, QStringLiteral("b3 ção😀.cab"));
    EXPECT_FALSE(refused(in, QStringLiteral("/out/b3ção.cab")));
    // "ENTRIES_" + name + ".ini" and "svcpack\\" + name + ".exe" both hold 255 bytes with a name of 243.
    const auto named = [](int length) { return QLatin1String("/out/") + QString(length, QLatin1Char('n')) + QLatin1String(".cab"); };
    EXPECT_FALSE(refused(in, named(243)));
    EXPECT_EQ(refused(in, named(244)), NameRule::TooLongForCabinet);

    // The start file and its switch stand in the entries file only when the folder goes in as it is; the
    // self-extractor's configuration is UTF-8.
    BuildInputs direct = in;
    direct.compact = false;
    EXPECT_FALSE(refused(direct, QStringLiteral("/out/CON.cab")));
    EXPECT_FALSE(refused(direct, QStringLiteral("/out/b3 ção😀.cab")));
    direct.startFile = QStringLiteral("setup😀 ж.exe");
    EXPECT_EQ(refused(direct), NameRule::OutsideCodePage);
    EXPECT_EQ(subject, QStringLiteral("setup😀 ж.exe"));
    // A blank in the start file stands on the line with Compact off; the self-extractor quotes it.
    direct.startFile = QStringLiteral("my setup.exe");
    EXPECT_EQ(refused(direct), NameRule::BlankInCommand);
    EXPECT_FALSE(refused([&] { BuildInputs compact = direct; compact.compact = true; return compact; }()));
    in.startFile = direct.startFile;
    EXPECT_FALSE(refused(in));
    direct.startFile = QStringLiteral("instalação.exe");
    direct.silentSwitch = QStringLiteral("/DIR=C:\\Программы");
    EXPECT_EQ(refused(direct), NameRule::OutsideCodePage);
    EXPECT_EQ(subject, direct.silentSwitch);

    for (bool compact : {true, false}) {
        BuildInputs batch = in;
        batch.compact = compact;
        batch.startFile = QStringLiteral("setup%OS%.cmd");
        EXPECT_EQ(refused(batch), NameRule::PercentInBatchFile);
        batch.startFile = QStringLiteral("in&stall^.cmd");
        EXPECT_FALSE(refused(batch));
    }
}
