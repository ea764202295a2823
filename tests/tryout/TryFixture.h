#pragma once
// What the tests of a try stand on: installers made by makensis (and one that hangs, and a Windows
// Installer package that refuses), packed into add-ons by packwright-build as a user makes them (the
// installed one, with its AppDir, for the tries under Wine), and tried with the options every test shares.
#include "support/TempDir.h"
#include "tryout/TryAddon.h"

#include <QStringList>

#include <functional>

namespace pwtest {

// The NSIS target of an installer: 32-bit where Wine runs 32-bit programs, else 64-bit.
enum class InstallerArch { X86, Amd64 };

// True when this machine can try add-ons at all; `reason` says why not.
bool CanTry(QString* reason);
// The architecture of the installers that run here as they are.
InstallerArch NativeArch();

// Writes an NSIS installer for `arch` as `folder`/setup.exe. With /S it installs silently: a file under
// Program Files\`name`, the value HKLM\Software\`name` Version = 1.0 and a shortcut `name`.lnk in the
// Programs menu of all users; without it, it shows its window, titled "`name` Setup: Installation Folder".
void WriteNsisInstaller(const QString& folder, const QString& name, InstallerArch arch);
// A program that waits for ever and shows nothing, as `folder`/setup.exe.
void WriteSleeper(const QString& folder, InstallerArch arch);
// A silent NSIS installer, `folder`/setup.exe, that starts `folder`/sleeper.exe (written beside it) and
// ends without waiting for it.
void WriteLauncher(const QString& folder, InstallerArch arch);
// The console program tools/console.c as `folder`/console.exe: its switch says what it does.
void WriteConsoleInstaller(const QString& folder, InstallerArch arch);
// A Windows Installer package as `folder`/package.msi; with PWTEST_REFUSE=1 it refuses to install.
void WriteMsiPackage(const QString& folder, const QString& name);

// Records what a try says, and cancels it when `cancelWhen` says so of a status.
class RecordingTryUi : public pw::TryUi {
public:
    void setStatus(const QString& text) override;
    bool cancelRequested() override { return cancel_; }

    QStringList statuses;
    std::function<bool(const QString&)> cancelWhen;

private:
    bool cancel_ = false;
};

class TryFixture {
public:
    // Makes the add-on of `folder` with packwright-build (`options` added), with `silentSwitch` (none when
    // empty); returns its path.
    QString BuildAddon(const QString& folder, const QString& start, const QString& silentSwitch,
                       const QStringList& options = {});
    // A copy of packwright-build in an AppDir of the test's own, with the shipped Windows programs except
    // `name`, which is the test's `replacement` under that program's name. Returns the copy's path.
    QString BuilderWith(const QString& name, const QString& replacement);
    // The options of a try of `addon` with the test's own report and scratch folders, for a Windows that
    // runs NativeArch() installers.
    pw::TryOptions Options(const QString& addon) const;
    pw::TryResult Try(const pw::TryOptions& options);

    // The entries left in the scratch parent: a try leaves none.
    QStringList ScratchLeft() const;

    TempDir scratch;
    RecordingTryUi ui;
    QString builder = QStringLiteral(PACKWRIGHT_BUILD);
};

// The prepared prefixes of this test program's tries.
QString PrefixCache();

// The distinct colours of a PNG file, up to `limit`.
int Colours(const QString& png, int limit = 16);

}  // namespace pwtest
