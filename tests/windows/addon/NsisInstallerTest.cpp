// An installer that we did not write: an NSIS installer made by makensis for the stand's architecture, run
// with its own silent switch /S from a compacted add-on, as most add-ons run theirs. What it installs must be
// there afterwards, and the temporary folder must hold nothing but the add-on's log: the self-extractor's
// folder and the installer's own plug-in folder are gone.
#include "AddonFixture.h"

#include <QDir>

using namespace pwtest;

namespace {

QString Backslashes(QString path)
{
    return path.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

class NsisInstaller : public AddonFixture, public ::testing::WithParamInterface<Arch> {
protected:
    NsisInstaller() : AddonFixture(GetParam()) {}
};

TEST_P(NsisInstaller, InstallsSilentlyWithItsFilesRegistryValueAndShortcut)
{
    const QString name = QStringLiteral("nsis_") + QString::fromLatin1(ArchName(arch_));
    PrepareFolders(name);
    program_ = WriteNsisProgramFolder(program_folder_, name, arch_);
    ASSERT_FALSE(HasFailure());
    const Unpacked addon = BuildAndUnpack({QStringLiteral("--level"), QStringLiteral("2")});
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();
    const SetupRun run = Run(addon);
    ASSERT_TRUE(run.ran) << addon.addProgram.toStdString() << ":\n" << run.output.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();

    for (const QString& file : NsisPayload())
        EXPECT_EQ(ReadAll(DriveC(NsisInstallFolder(name) + QLatin1Char('/') + file, arch_)),
                  InstalledContent(name) + file.toUtf8())
            << file.toStdString();

    const ToolRun query = RunOnWine({QStringLiteral("reg"), QStringLiteral("query"),
                                     QStringLiteral("HKLM\\") + NsisRegistryKey(name), QStringLiteral("/v"),
                                     QStringLiteral("Installed")},
                                    QString(), {}, arch_);
    EXPECT_TRUE(query.output.contains(QString::fromUtf8(InstalledContent(name)).trimmed()))
        << query.output.toStdString();

    const ToolRun info = RunOnWine({TestTool(QStringLiteral("ShortcutInfo.exe"), arch_), QStringLiteral("--remove"),
                                    QStringLiteral("P"), Backslashes(NsisShortcut(name))},
                                   QString(), {}, arch_);
    const QList<QMap<QString, QString>> links = ParseRecords(info.output);
    ASSERT_EQ(links.size(), 1) << info.output.toStdString();
    EXPECT_EQ(links[0].value(QStringLiteral("scope")), QStringLiteral("common")) << info.output.toStdString();
    EXPECT_EQ(links[0].value(QStringLiteral("path")).toLower(),
              Backslashes(QStringLiteral("C:/") + NsisInstallFolder(name) + QLatin1Char('/') + NsisPayload().front())
                  .toLower());
    EXPECT_EQ(links[0].value(QStringLiteral("arguments")), QStringLiteral("-x"));

    EXPECT_EQ(QDir(temp_).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("packwright-addon.log")})
        << TemporaryFiles();
}

INSTANTIATE_TEST_SUITE_P(Addon, NsisInstaller, ::testing::Values(Arch::X86_64, Arch::I686),
                         [](const ::testing::TestParamInfo<Arch>& info) { return std::string(ArchName(info.param)); });

}  // namespace
