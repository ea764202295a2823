#include "AddonFixture.h"

#include <QDir>

namespace pwtest {

void AddonFixture::SetUp()
{
    if (const QString refused = StandNote(arch_, QStringLiteral("refused")); !refused.isEmpty())
        GTEST_SKIP() << "skipped: " << refused.toStdString();
    // A run under emulation takes minutes: there only the smoke set that CMake marks runs.
    if (const QString emulated = StandNote(arch_, QStringLiteral("emulated")); !emulated.isEmpty()) {
        if (!qEnvironmentVariableIsSet("PW_I686_SMOKE"))
            GTEST_SKIP() << "skipped: " << emulated.toStdString() << "; only the smoke set runs there";
        runLimitMs_ = kEmulatedRunLimitMs;
    }
}

void AddonFixture::Prepare(StartKind kind, const QString& name)
{
    PrepareFolders(name);
    program_ = WriteProgramFolder(kind, program_folder_, name, arch_);
}

void AddonFixture::PrepareFolders(const QString& name)
{
    name_ = name;
    program_folder_ = scratch_.path(QStringLiteral("program"));
    temp_ = scratch_.path(QStringLiteral("temp"));
    QDir().mkpath(temp_);
}

Unpacked AddonFixture::BuildAndUnpack(const QStringList& options) const
{
    QStringList arguments
        = {QStringLiteral("--folder"), program_folder_, QStringLiteral("--start"), program_.startFile};
    if (!program_.silentSwitch.isEmpty())
        arguments << QStringLiteral("--switch") << program_.silentSwitch;
    const QString cabinet = scratch_.path(QStringLiteral("MyApp.cab"));
    const ToolRun build
        = BuildAddon(arguments + options << cabinet, scratch_.path(QStringLiteral("data")), arch_, runLimitMs_);
    if (!build.ok)
        return {QString(), QString(), QStringLiteral("packwright-build failed:\n") + build.output};
    return UnpackAddon(cabinet, scratch_.path(QStringLiteral("cab")));
}

SetupRun AddonFixture::Run(const Unpacked& addon, MessageBoxes boxes) const
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PW_TEST_RECORD"), WindowsPath(scratch_.path(QStringLiteral("record"))));
    environment.insert(QStringLiteral("PW_TEST_EXIT_CODE"), QString::number(kChosenExitCode));
    environment.insert(QStringLiteral("PW_TEST_RECORDER"),
                       WindowsPath(TestTool(QStringLiteral("Recorder.exe"), arch_)));
    return RunSetupLine(addon.addProgram, addon.svcpack, temp_, environment, boxes, arch_, runLimitMs_);
}

QStringList AddonFixture::Recorded(const QString& file) const
{
    QStringList lines
        = QString::fromUtf8(ReadAll(scratch_.path(QStringLiteral("record/") + file))).split(QLatin1Char('\n'));
    if (lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

std::string AddonFixture::TemporaryFiles() const
{
    std::string listing;
    for (const QFileInfo& file : QDir(temp_).entryInfoList(QDir::Files | QDir::Hidden))
        listing += file.fileName().toStdString() + ":\n" + ReadAll(file.filePath()).left(4000).toStdString() + "\n";
    return listing;
}

}  // namespace pwtest
