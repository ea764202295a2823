#pragma once
// One add-on per test: a program folder of a given kind in a scratch folder of the test's own, the add-on
// packwright-build makes of it, taken apart, and its [AddProgram] line run on the Wine stand of the test's
// architecture (x86-64 unless the test says otherwise).
#include "AddonStand.h"
#include "TestPrograms.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pwtest {

// What the recorder and the batch files end with: not 0, more than 8 bits, not a code msistub turns into 0.
constexpr qint64 kChosenExitCode = 1234;

class AddonFixture : public ::testing::Test {
protected:
    explicit AddonFixture(Arch arch = Arch::X86_64) : arch_(arch) {}

    // Skips the test, with the reason, when this machine could not make the stand of its architecture.
    void SetUp() override;

    // Lays out the program folder; `name` must differ between tests that may run at the same time, as it
    // names what they install into the shared prefix.
    void Prepare(StartKind kind, const QString& name);
    // Names the test and makes its temporary folder, leaving the program folder to the test.
    void PrepareFolders(const QString& name);

    // Builds the add-on with `options` added (packing, shortcuts) and takes it apart.
    Unpacked BuildAndUnpack(const QStringList& options) const;

    // Runs the add-on's line with the recorder told where to record and what to end with.
    SetupRun Run(const Unpacked& addon, MessageBoxes boxes = MessageBoxes::Wait) const;

    // A file the recorder wrote, as lines.
    QStringList Recorded(const QString& file) const;

    // The files left in the temporary folder, with their content, for failure messages.
    std::string TemporaryFiles() const;

    const Arch arch_;
    int runLimitMs_ = kRunLimitMs;  // for building the add-on and for running it
    TempDir scratch_;
    QString name_;
    TestProgram program_;
    QString program_folder_;
    QString temp_;  // the run's %TEMP%
};

}  // namespace pwtest
