#include "tryout/PrivateDisplay.h"

#include "tryout/HostTools.h"
#include "tryout/TryUi.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>

namespace pw {
namespace {

constexpr qint64 kStartLimitMs = 60 * 1000;
constexpr int kTickMs = 100;
constexpr int kCookieSize = 16;
// The screen of a machine that Windows XP was set up on.
const QString kScreen = QStringLiteral("1024x768x24");

void AppendCounted(QByteArray& entry, const QByteArray& bytes)
{
    entry.append(char(bytes.size() >> 8)).append(char(bytes.size() & 0xff)).append(bytes);
}

}  // namespace

QByteArray AuthorityEntry(const QByteArray& cookie)
{
    QByteArray entry("\xff\xff", 2);  // FamilyWild: any address
    AppendCounted(entry, {});         // address
    AppendCounted(entry, {});         // display number: any
    AppendCounted(entry, QByteArrayLiteral("MIT-MAGIC-COOKIE-1"));
    AppendCounted(entry, cookie);
    return entry;
}

PrivateDisplay::PrivateDisplay(const QString& folder) : folder_(folder) {}

PrivateDisplay::~PrivateDisplay()
{
    Stop();
}

RunEnd PrivateDisplay::Start(const TryTools& tools, TryUi& ui, QString* error)
{
    cookie_.resize(kCookieSize);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(cookie_.data()), kCookieSize / 4);
    const QByteArray entry = AuthorityEntry(cookie_);
    QFile authority(authorityFile());
    if (!authority.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || authority.write(entry) != entry.size() || !authority.flush()) {
        *error = authority.fileName() + QStringLiteral(": ") + authority.errorString();
        return RunEnd::NotStarted;
    }
    authority.close();
    // -displayfd: the server picks a free display number and writes it on its output once it accepts
    // connections, so nothing has to guess a number or poll for the server.
    server_.setStandardInputFile(QProcess::nullDevice());
    server_.setStandardErrorFile(folder_ + QStringLiteral("/xvfb.log"));
    EndWithThisProcess(server_);
    server_.start(tools.xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                               QStringLiteral("0"), kScreen, QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                               QStringLiteral("-auth"), authorityFile()});
    const QDeadlineTimer deadline(kStartLimitMs);
    QByteArray output;
    while (!output.contains('\n')) {
        if (server_.state() == QProcess::NotRunning) {
            QFile log(folder_ + QStringLiteral("/xvfb.log"));
            *error = server_.errorString() + QLatin1Char('\n')
                     + (log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()).trimmed() : QString());
            return RunEnd::NotStarted;
        }
        if (ui.cancelRequested())
            return RunEnd::Cancelled;
        if (deadline.hasExpired()) {
            *error = tools.xvfb;
            return RunEnd::TimedOut;
        }
        server_.waitForReadyRead(kTickMs);
        output += server_.readAllStandardOutput();
    }
    name_ = QLatin1Char(':') + QString::fromLatin1(output.trimmed());
    return RunEnd::Finished;
}

void PrivateDisplay::Stop()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    server_.terminate();
    if (!server_.waitForFinished(5000)) {
        server_.kill();
        server_.waitForFinished();
    }
}

}  // namespace pw
