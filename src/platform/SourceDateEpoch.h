#pragma once
// Reproducible add-ons. When the environment variable SOURCE_DATE_EPOCH holds a time (seconds since
// 1970-01-01 UTC), two builds of the same inputs give the same bytes: the files a build writes itself
// carry that time, the times of input files newer than it are brought back to it, and whatever else
// could differ between two runs or two machines is pinned (see the archive writers). Without it, files
// keep their own times and the build's files the time they were written.
#include <QString>

#include <cstdint>
#include <ctime>
#include <optional>

namespace pw {

// The time SOURCE_DATE_EPOCH holds; nothing when it is unset, empty or not a time (see below).
std::optional<qint64> SourceDateEpoch();
// Why the build must not run: SOURCE_DATE_EPOCH holds something other than a number of seconds from 0
// on, and a build that was asked to be reproducible would not be. Empty when all is well.
QString SourceDateEpochProblem();

// Seconds since 1970 of a file's time as an add-on records it.
qint64 RecordedSeconds(qint64 seconds);
// The same for the archives' 100-ns file times.
std::uint64_t RecordedFileTime(std::uint64_t ticks);

// The time given to a file the build writes itself.
qint64 BuildSeconds();
// Gives the file at `path` that time when SOURCE_DATE_EPOCH is set; throws UserError when it cannot.
void StampBuildFile(const QString& path);

// The broken-down time a cabinet records for a file time: local, as cabinets are read on the machine
// that installs them, but in UTC for a reproducible build, which must not depend on the builder's time
// zone. False when the time cannot be broken down.
bool RecordedCalendarTime(std::time_t seconds, std::tm* out);

}  // namespace pw
