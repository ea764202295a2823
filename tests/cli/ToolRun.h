#pragma once
// packwright-build run as a user runs it: a process of its own, with a data folder of the test's.
#include "support/TempDir.h"

#include <QProcess>
#include <QString>
#include <QStringList>

struct ToolRun {
    int exitCode;
    QString out, err;
};

// Starts the real front end (or a copy of it elsewhere) with XDG_DATA_HOME inside `home`.
void StartTool(QProcess& p, const QStringList& args, const QString& home,
               const QString& program = QStringLiteral(PACKWRIGHT_BUILD));
// Runs it to its end (two minutes at most).
ToolRun RunTool(const QStringList& args, const QString& home, const QString& program = QStringLiteral(PACKWRIGHT_BUILD));
// A copy of the program in `dir`'s folder "app", which is then its AppDir; empty when it cannot be made.
QString CopyOfTheTool(const pwtest::TempDir& dir);
// Starts a build of a plain archive of a gigabyte (sparse: fast to make, slow to pack) and stops it with
// Ctrl+C as soon as the packing has begun.
ToolRun StopWhilePacking(const pwtest::TempDir& dir, const QString& home, const QStringList& extra = {},
                         const QString& program = QStringLiteral(PACKWRIGHT_BUILD));
