#include "platform/SourceDateEpoch.h"

#include "platform/Errors.h"
#include "platform/FileInformation.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace pw {
namespace {

constexpr char kVariable[] = "SOURCE_DATE_EPOCH";

struct Reading {
    bool set = false;
    std::optional<qint64> seconds;
};

Reading Read()
{
    const QByteArray text = qgetenv(kVariable);
    if (text.isEmpty())
        return {};
    bool ok = false;
    const qint64 seconds = text.toLongLong(&ok, 10);
    if (!ok || seconds < 0 || text.front() == '+')
        return {true, std::nullopt};
    return {true, seconds};
}

}  // namespace

std::optional<qint64> SourceDateEpoch()
{
    return Read().seconds;
}

QString SourceDateEpochProblem()
{
    const Reading reading = Read();
    if (!reading.set || reading.seconds)
        return {};
    return QStringLiteral("%1 must be a number of seconds since 1970-01-01 UTC, not \"%2\".")
        .arg(QLatin1String(kVariable), QString::fromLocal8Bit(qgetenv(kVariable)));
}

qint64 RecordedSeconds(qint64 seconds)
{
    const std::optional<qint64> epoch = SourceDateEpoch();
    return epoch ? std::min(seconds, *epoch) : seconds;
}

std::uint64_t RecordedFileTime(std::uint64_t ticks)
{
    const std::optional<qint64> epoch = SourceDateEpoch();
    return epoch ? std::min(ticks, FileTimeFromUnix(*epoch)) : ticks;
}

qint64 BuildSeconds()
{
    const std::optional<qint64> epoch = SourceDateEpoch();
    return epoch ? *epoch : QDateTime::currentSecsSinceEpoch();
}

void StampBuildFile(const QString& path)
{
    const std::optional<qint64> epoch = SourceDateEpoch();
    if (!epoch)
        return;
    const timespec times[2] = {{time_t(*epoch), 0}, {time_t(*epoch), 0}};
    if (::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        throw CannotOpenFile(path, SystemErrorText(errno));
}

bool RecordedCalendarTime(std::time_t seconds, std::tm* out)
{
    return SourceDateEpoch() ? gmtime_r(&seconds, out) != nullptr : localtime_r(&seconds, out) != nullptr;
}

}  // namespace pw
