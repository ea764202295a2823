#include "tryout/PreparedPrefix.h"

#include "tryout/TryUi.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace pw {
namespace {

constexpr int kVersionLimitMs = 20000;
// Copying 0.7 GB takes a few seconds on an idle disk; a busy one can take many times as long.
constexpr qint64 kCopyLimitMs = 5 * 60 * 1000;
constexpr int kLockTickMs = 100;
const QString kMaking = QStringLiteral(".making-");

}  // namespace

QString DefaultPrefixCache()
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString cache = environment.value(QStringLiteral("XDG_CACHE_HOME"));
    if (!QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/Packwright/prefixes");
}

QString WineVersionName(const QString& loader)
{
    const ChildRun run = RunCommand({loader, {QStringLiteral("--version")}}, kVersionLimitMs);
    if (run.end != RunEnd::Finished || run.exitCode != 0)
        return {};
    // "-" separates the version from the rest of a prepared prefix's name.
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9.~+]+"));
    return run.output.trimmed().replace(unsafe, QStringLiteral("_"));
}

PreparedPrefix::PreparedPrefix(const QString& cache, const QString& wineVersion, const QString& variant)
    : cache_(cache), wineVersion_(wineVersion), name_(wineVersion + QLatin1Char('-') + variant)
{
}

QString PreparedPrefix::path() const
{
    return cache_ + QLatin1Char('/') + name_;
}

RunEnd PreparedPrefix::CopyTo(const QString& destination, const Maker& make, TryUi& ui, QString* error) const
{
    if (!QDir().mkpath(cache_)) {
        *error = cache_;
        return RunEnd::NotStarted;
    }
    // Only the process's death frees the lock: a making can take minutes on a busy machine.
    QLockFile lock(cache_ + QStringLiteral("/.lock"));
    lock.setStaleLockTime(0);
    while (!lock.tryLock(kLockTickMs)) {
        if (lock.error() != QLockFile::LockFailedError) {
            *error = lock.fileName();
            return RunEnd::NotStarted;
        }
        if (ui.cancelRequested())
            return RunEnd::Cancelled;
    }
    RemoveStale();
    if (!QFileInfo(path()).isDir()) {
        if (const RunEnd end = MakeInPlace(make, error); end != RunEnd::Finished)
            return end;
    }
    // A real copy: the try's changes never reach the prepared prefix, nor another try's copy.
    const ChildRun copy =
        RunCommand({QStringLiteral("cp"), {QStringLiteral("-a"), QStringLiteral("--reflink=auto"), QStringLiteral("--"),
                                           path(), destination}},
                   kCopyLimitMs, &ui);
    if (copy.end == RunEnd::Finished && copy.exitCode != 0) {
        *error = copy.output.trimmed();
        return RunEnd::NotStarted;
    }
    if (copy.end == RunEnd::NotStarted)
        *error = copy.error;
    return copy.end;
}

void PreparedPrefix::RemoveStale() const
{
    // Called under the lock: no other try is making or copying anything here.
    const QDir cache(cache_);
    for (const QString& name : cache.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (name.contains(kMaking) || name.section(QLatin1Char('-'), 0, 0) != wineVersion_)
            QDir(cache.filePath(name)).removeRecursively();
    }
}

RunEnd PreparedPrefix::MakeInPlace(const Maker& make, QString* error) const
{
    QTemporaryDir making(path() + kMaking + QStringLiteral("XXXXXX"));
    if (!making.isValid()) {
        *error = making.errorString();
        return RunEnd::NotStarted;
    }
    const RunEnd end = make(making.path(), error);
    if (end != RunEnd::Finished)
        return end;
    // What else the making left (its home, its temporary folder, Wine's log) goes with the folder.
    if (!QDir().rename(making.filePath(QStringLiteral("prefix")), path())) {
        *error = path();
        return RunEnd::NotStarted;
    }
    return RunEnd::Finished;
}

}  // namespace pw
