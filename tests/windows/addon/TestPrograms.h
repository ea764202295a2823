#pragma once
// The program folders the end-to-end tests pack: one start file of each kind, and beside it the files that
// must reach the installer unchanged.
#include "AddonStand.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pwtest {

enum class StartKind { Exe, Msi, Bat, Cmd, Inf };
const char* KindName(StartKind kind);

struct TestProgram {
    QString startFile;     // its name inside the folder
    QString silentSwitch;  // what --switch gives, empty for none
    QString runner;        // the runner program that starts it, empty for an .exe
};

// The switch given to the start files that record their arguments, and the arguments they must see: a
// quoted argument with a blank inside has to survive every command line on the way.
inline const QString kRecordedSwitch = QStringLiteral("/S /LOG=\"a b.txt\"");
inline const QStringList kRecordedArguments = {QStringLiteral("/S"), QStringLiteral("/LOG=a b.txt")};

// What the .msi and .inf start files install.
QByteArray InstalledContent(const QString& caseName);
// Where the .msi start file installs its file when its switch has reached msiexec (below drive C:).
QString MsiInstallFolder(const QString& caseName);
// The file that the .inf start file copies into the system folder, and its registry value's name and data.
QString InfCopiedFile(const QString& caseName);
QString InfRegistryValue(const QString& caseName);

// Lays out the program folder `folder` for `kind`. The .exe start file is the test tool Recorder.exe built
// for the stand of `arch`; the .bat and .cmd files pass their arguments on to it; the .msi and .inf files
// install something the test can see. `caseName` makes what they install differ from test to test, since
// all tests share one prefix.
TestProgram WriteProgramFolder(StartKind kind, const QString& folder, const QString& caseName,
                               Arch arch = Arch::X86_64);

// What the NSIS installer of WriteNsisProgramFolder installs: its folder below drive C:, which holds the
// files NsisPayload names, its registry key below HKLM (with the value "Installed" set to InstalledContent)
// and its shortcut in the All Users' Programs menu, relative to that menu.
QString NsisInstallFolder(const QString& caseName);
QStringList NsisPayload();
QString NsisRegistryKey(const QString& caseName);
QString NsisShortcut(const QString& caseName);

// Lays out a program folder whose start file is a real NSIS installer, made by makensis for the stand of
// `arch`, that installs silently with its own switch /S.
TestProgram WriteNsisProgramFolder(const QString& folder, const QString& caseName, Arch arch);

// The empty folder every program folder holds (a cabinet cannot carry it; a 7z archive does).
inline const QString kEmptyFolder = QStringLiteral("empty folder");

}  // namespace pwtest
