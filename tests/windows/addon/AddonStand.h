#pragma once
// What the end-to-end tests of add-ons stand on: packwright-build and its AppDir as installed (the stage of
// the staged_layout fixture), the Wine stands (wine-stand.sh) and the Windows test tools (tools/): building
// an add-on, taking it apart, and running its [AddProgram] line as Windows setup does.
//
// There are two stands. The x86-64 one runs the x86-64 builds of the Windows programs on a win64 prefix; the
// i686 one runs the programs that add-ons carry on a win32 prefix, where this machine runs 32-bit code. Each
// has a stage of its own. Everything below works on the x86-64 stand unless told otherwise.
#include "support/CabinetDecoders.h"

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <ostream>

namespace pwtest {

enum class Arch { X86_64, I686 };
// "x86_64" or "i686", as test names spell it.
const char* ArchName(Arch arch);
inline void PrintTo(Arch arch, std::ostream* os)
{
    *os << ArchName(arch);
}
// What the start of the stand of `arch` said in its file `note`, or empty: "refused", why this machine could
// not make it; "emulated", why its programs run under qemu-i386.
QString StandNote(Arch arch, const QString& note);

// Long enough for a module that extracts, installs and removes a few megabytes on a busy machine; a program
// that waits for an answer from a window nobody sees never ends, and is stopped after this time.
constexpr int kRunLimitMs = 60000;
// The same under qemu-i386, where every program of the prefix runs 50 to 100 times slower.
constexpr int kEmulatedRunLimitMs = 400000;

// The path under which Windows programs on the stand see a file of this machine (drive Z: is "/").
QString WindowsPath(const QString& unixPath);
// A file of the stand's drive C:, "/" between folders.
QString DriveC(const QString& relative, Arch arch = Arch::X86_64);
// A Windows test tool (tools/) built for the stand, by file name.
QString TestTool(const QString& name, Arch arch = Arch::X86_64);
// A file of the staged AppDir whose Windows programs the stand runs: for i686 the package's own; for x86-64
// the same layout with the x86-64 builds at its top under the shipped names.
QString AppDirFile(const QString& name, Arch arch = Arch::X86_64);

// Runs a Linux program in `folder` with `environment` added to this process's own, stopping it after
// `limitMs`.
ToolRun RunIn(const QString& folder, const QString& program, const QStringList& arguments,
              const QProcessEnvironment& environment = {}, int limitMs = kRunLimitMs);

// Runs a Windows program on the stand (a Windows path or a name on its PATH) in `folder`, with
// `environment` added to this process's own. The exit code of wine itself carries only 8 bits.
ToolRun RunOnWine(const QStringList& commandLine, const QString& folder,
                  const QProcessEnvironment& environment = {}, Arch arch = Arch::X86_64,
                  int limitMs = kRunLimitMs);

struct SetupRun {
    bool ran = false;     // RunLine reported an exit code: the line started and ended in time
    qint64 exitCode = -1; // the whole 32-bit exit code of what the line started
    QString output;       // what wine and the programs printed, for failure messages
    QStringList closedMessages;  // message boxes of the started process that RunLine answered
    int timedMessages = 0;       // message boxes shown with MessageBoxTimeoutW, which close themselves
};

// What becomes of a message box that the started process itself shows. Windows closes one shown with
// MessageBoxTimeoutW when its time is up, Wine never does: with Answered, RunLine answers such boxes after two
// seconds and the run tells how many boxes there were and how many would have closed themselves.
enum class MessageBoxes { Wait, Answered };

// Runs `line` in `folder` as Windows setup runs an [AddProgram] line (RunLine.exe), with TEMP and TMP set to
// `temp`, so that whatever the run leaves in the temporary folder is this test's.
SetupRun RunSetupLine(const QString& line, const QString& folder, const QString& temp,
                      const QProcessEnvironment& environment, MessageBoxes boxes = MessageBoxes::Wait,
                      Arch arch = Arch::X86_64, int limitMs = kRunLimitMs);

// Runs the staged packwright-build, as the PATH of an installed package finds it, with `arguments`; its
// DataDir lies under `dataHome`.
ToolRun BuildAddon(const QStringList& arguments, const QString& dataHome, Arch arch = Arch::X86_64,
                   int limitMs = kRunLimitMs);

struct Unpacked {
    QString svcpack;     // the extracted "svcpack" folder
    QString addProgram;  // the line after [AddProgram] in the entries file
    QString error;       // why the add-on could not be taken apart
};
// Extracts `cabinet` into `folder` with cabextract and reads its entries file.
Unpacked UnpackAddon(const QString& cabinet, const QString& folder);

// The sub-folders of `folder`, at any depth ("/" between names).
QStringList SubFolders(const QString& folder);

// Key-value records as the test tools print them: "key=value" lines, records ended by "--".
QList<QMap<QString, QString>> ParseRecords(const QString& output);

}  // namespace pwtest
