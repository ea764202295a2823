#pragma once
// What the end-to-end tests of add-ons stand on: packwright-build beside the x86-64 Windows programs, the
// Wine stand (wine-stand.sh) and the Windows test tools (tools/): building an add-on, taking it apart, and
// running its [AddProgram] line as Windows setup does.
#include "CabinetDecoders.h"

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace pwtest {

// The path under which Windows programs on the stand see a file of this machine (drive Z: is "/").
QString WindowsPath(const QString& unixPath);
// A file of the stand's drive C:, "/" between folders.
QString DriveC(const QString& relative);
// A Windows test tool (tools/), by file name.
QString TestTool(const QString& name);
// A program of the test AppDir, the x86-64 build the add-ons carry here.
QString AppDirFile(const QString& name);

// Runs a Linux program in `folder` with `environment` added to this process's own, within the time limit of
// every run here.
ToolRun RunIn(const QString& folder, const QString& program, const QStringList& arguments,
              const QProcessEnvironment& environment = {});

// Runs a Windows program on the stand (a Windows path or a name on its PATH) in `folder`, with
// `environment` added to this process's own. The exit code of wine itself carries only 8 bits.
ToolRun RunOnWine(const QStringList& commandLine, const QString& folder,
                  const QProcessEnvironment& environment = {});

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
                      const QProcessEnvironment& environment, MessageBoxes boxes = MessageBoxes::Wait);

// Runs packwright-build from the test AppDir with `arguments`; its DataDir lies under `dataHome`.
ToolRun BuildAddon(const QStringList& arguments, const QString& dataHome);

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
