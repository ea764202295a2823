#include "ToolRun.h"

#include <QFile>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

void StartTool(QProcess& p, const QStringList& args, const QString& home, const QString& program)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home);
    p.setProcessEnvironment(env);
    p.start(program, args);
}

ToolRun RunTool(const QStringList& args, const QString& home, const QString& program)
{
    QProcess p;
    StartTool(p, args, home, program);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QString CopyOfTheTool(const pwtest::TempDir& dir)
{
    dir.mkdir("app");
    const QString program = dir.path("app/packwright-build");
    return QFile::copy(QStringLiteral(PACKWRIGHT_BUILD), program) ? program : QString();
}

ToolRun StopWhilePacking(const pwtest::TempDir& dir, const QString& home, const QStringList& extra,
                         const QString& program)
{
    dir.write("p/setup.exe", "MZ");
    QFile big(dir.write("p/big.bin"));
    EXPECT_TRUE(big.resize(qint64(1) << 30));
    QProcess p;
    StartTool(p, QStringList{"--folder", dir.path("p"), "--start", "setup.exe", "--format", "7z", dir.path("out.7z")} + extra,
              home, program);
    QByteArray out;
    while (!out.contains("7-Zip") && p.waitForReadyRead(30000))
        out += p.readAllStandardOutput();
    EXPECT_TRUE(out.contains("7-Zip")) << out.data();
    ::kill(pid_t(p.processId()), SIGINT);
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    out += p.readAllStandardOutput();
    return {p.exitCode(), QString::fromUtf8(out), QString::fromUtf8(p.readAllStandardError())};
}
