#include "tryout/WinePrefix.h"

#include "tryout/PreparedPrefix.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace pw {
namespace {

// A fresh prefix takes 5 to 10 s on an idle machine; a busy one can take several times as long.
constexpr qint64 kMakeLimitMs = 5 * 60 * 1000;
constexpr qint64 kServerLimitMs = 60 * 1000;
constexpr int kServerEndMs = 5000;
constexpr int kServerReadyMs = 5000;
// Raised whenever prepared prefixes come to be made differently, so that one made before is stale, as one
// of another Wine version is. The second keeps drive Z: out of wineboot.
const QString kPreparedRevision = QStringLiteral("+2");

bool IsUtf8Locale(const QProcessEnvironment& environment)
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QString value = environment.value(QLatin1String(name));
        if (!value.isEmpty())
            return value.contains(QLatin1String("UTF-8"), Qt::CaseInsensitive)
                   || value.contains(QLatin1String("utf8"), Qt::CaseInsensitive);
    }
    return false;
}

QString LogTail(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    file.seek(std::max<qint64>(0, size - 2000));
    return QString::fromUtf8(file.readAll()).trimmed();
}

}  // namespace

WindowsTarget ImitatedWindows(WindowsTarget target, WineArch arch)
{
    // A 64-bit prefix is no 32-bit XP: its programs see a 64-bit system, as on XP x64.
    if (arch == WineArch::Win64 && target == WindowsTarget::Xp)
        return WindowsTarget::Xp64;
    // A 32-bit prefix cannot be XP x64; Server 2003 is the same Windows for a 32-bit program.
    if (arch == WineArch::Win32 && target == WindowsTarget::Xp64)
        return WindowsTarget::Server2003;
    return target;
}

QProcessEnvironment WineEnvironment(const QProcessEnvironment& base, const QString& prefix, const QString& home,
                                    WineArch arch)
{
    QProcessEnvironment environment = base;
    for (const QString& name : base.keys()) {
        if (name.startsWith(QLatin1String("WINE")) || name.startsWith(QLatin1String("XDG_")))
            environment.remove(name);
    }
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY"})
        environment.remove(QLatin1String(name));
    if (!IsUtf8Locale(base))
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("WINEPREFIX"), prefix);
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("WINEARCH"),
                       arch == WineArch::Win32 ? QStringLiteral("win32") : QStringLiteral("win64"));
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml=;winemenubuilder.exe=d"));
    return environment;
}

WinePrefix::WinePrefix(const QString& root, WineArch arch, const TryTools& tools)
    : root_(root), arch_(arch), tools_(tools)
{
}

QString WinePrefix::loader() const
{
    return arch_ == WineArch::Win32 ? tools_.wine32 : tools_.wine64;
}

QProcessEnvironment WinePrefix::Environment(const QString& display, const QString& authority) const
{
    QProcessEnvironment environment =
        WineEnvironment(QProcessEnvironment::systemEnvironment(), prefix(), root_ + QStringLiteral("/home"), arch_);
    // Wine makes folders of its own ("wine-XXXXXX") in the temporary folder and leaves them: inside the
    // scratch folder they go with it, instead of piling up in the user's.
    environment.insert(QStringLiteral("TMPDIR"), temporaryFolder());
    if (!display.isEmpty()) {
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.insert(QStringLiteral("XAUTHORITY"), authority);
    }
    return environment;
}

RunEnd WinePrefix::Make(const QString& cache, const QString& wineName, TryUi& ui, QString* error)
{
    if (!QDir().mkpath(root_ + QStringLiteral("/home")) || !QDir().mkpath(temporaryFolder())) {
        *error = root_;
        return RunEnd::NotStarted;
    }
    const QString version = WineVersionName(loader());
    if (version.isEmpty()) {
        *error = loader();
        return RunEnd::NotStarted;
    }
    const QString variant = (arch_ == WineArch::Win32 ? QStringLiteral("win32-") : QStringLiteral("win64-")) + wineName;
    const PreparedPrefix prepared(cache, version + kPreparedRevision, variant);
    const RunEnd end = prepared.CopyTo(
        prefix(),
        [&](const QString& root, QString* makeError) {
            return WinePrefix(root, arch_, tools_).MakeFresh(wineName, ui, makeError);
        },
        ui, error);
    if (end != RunEnd::Finished)
        return end;
    // It names the folder of the server that made the prepared prefix; this prefix's server names its own.
    QFile::remove(prefix() + QStringLiteral("/wineserver"));
    return RunEnd::Finished;
}

RunEnd WinePrefix::MakeFresh(const QString& wineName, TryUi& ui, QString* error)
{
    // Wine gives a new prefix drive Z: for "/" unless its devices folder exists already, and wineboot
    // registers the host's fonts under that drive's paths. Were Z: cut only afterwards, as CutLinks cuts
    // it, the prefix's first start would drop those fonts and its second register them again under their
    // Unix paths: values the add-on tried at that time would be charged with. With C: alone from the
    // start, the fonts are registered once, as they stay.
    const QString devices = prefix() + QStringLiteral("/dosdevices");
    if (!QDir().mkpath(root_ + QStringLiteral("/home")) || !QDir().mkpath(temporaryFolder())
        || !QDir().mkpath(driveC()) || !QDir().mkpath(devices)
        || !QFile::link(QStringLiteral("../drive_c"), devices + QStringLiteral("/c:"))) {
        *error = root_;
        return RunEnd::NotStarted;
    }
    if (!StartServer()) {
        *error = server_.errorString();
        return RunEnd::NotStarted;
    }
    const ChildRun boot = RunCommand(
        {loader(), {QStringLiteral("wineboot"), QStringLiteral("--init")}, Environment(), QString(), logFile()},
        kMakeLimitMs, &ui);
    // wineboot has set the prefix up when it returns, but leaves its services running; ending them at once
    // saves the registry for the try to read as it was before the run, where waiting for the server to end
    // by itself would take seconds more.
    RunEnd end = boot.end == RunEnd::Finished && boot.exitCode == 0 ? EndServer(&ui) : boot.end;
    if (end == RunEnd::Finished && !QFileInfo(driveC()).isDir())
        end = RunEnd::NotStarted;
    if (end == RunEnd::Finished && !SetWindowsVersion(wineName)) {
        *error = prefix() + QStringLiteral("/user.reg");
        return RunEnd::NotStarted;
    }
    if (end == RunEnd::Finished)
        CutLinks();
    else if (end != RunEnd::Cancelled)
        *error = boot.error.isEmpty() ? LogTail(logFile()) : boot.error;
    return end;
}

void WinePrefix::EndAll()
{
    if (ended_ || !QFileInfo::exists(prefix()))
        return;
    ended_ = true;
    EndServer(nullptr);
}

bool WinePrefix::StartServer()
{
    // In the foreground, as a child of this process, the server ends with it, and with the server every
    // program of the prefix; one that Wine started itself would outlive a try ended at once.
    Start(server_, {tools_.wineserver, {QStringLiteral("--foreground")}, Environment(), QString(), logFile()});
    if (!server_.waitForStarted())
        return false;
    // Debian's Wine keeps the server's folder in the temporary folder and names it in the prefix's file
    // "wineserver". A program started before the server has written it and made its socket starts a
    // server of its own, and the two make the folder at once ("fixed a temporary directory error").
    QElapsedTimer waited;
    waited.start();
    while (!ServerListening() && server_.state() == QProcess::Running && waited.elapsed() < kServerReadyMs)
        QThread::msleep(10);
    return server_.state() == QProcess::Running;
}

bool WinePrefix::ServerListening() const
{
    QFile named(prefix() + QStringLiteral("/wineserver"));
    if (!named.open(QIODevice::ReadOnly))
        return false;
    const QString folder = QString::fromLocal8Bit(named.readAll()).trimmed();
    if (folder.isEmpty())
        return false;
    QDirIterator sockets(QDir(temporaryFolder()).filePath(folder), {QStringLiteral("socket")},
                         QDir::System | QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    return sockets.hasNext();
}

RunEnd WinePrefix::EndServer(TryUi* ui)
{
    // -k ends every process of the prefix; the server then saves the registry and ends, which -w awaits.
    for (const QString& option : {QStringLiteral("-k"), QStringLiteral("-w")}) {
        const RunEnd end =
            RunCommand({tools_.wineserver, {option}, Environment(), QString(), logFile()}, kServerLimitMs, ui).end;
        if (end != RunEnd::Finished)
            return end;
    }
    // The server ends once its last program has; should it stay, the end it is told saves the registry too.
    if (!server_.waitForFinished(kServerEndMs)) {
        server_.terminate();
        if (!server_.waitForFinished(kServerEndMs))
            server_.kill();
        server_.waitForFinished();
    }
    return RunEnd::Finished;
}

bool WinePrefix::SetWindowsVersion(const QString& wineName) const
{
    // Read when the server starts, as winecfg's choice is; the server has ended with wineboot.
    QFile file(prefix() + QStringLiteral("/user.reg"));
    return file.open(QIODevice::Append)
           && file.write(QStringLiteral("\n[Software\\\\Wine]\n\"Version\"=\"%1\"\n").arg(wineName).toUtf8()) > 0;
}

void WinePrefix::CutLinks() const
{
    // Drive letters other than C: ("z:" is "/", "d::" a device) lead out of the prefix.
    static const QRegularExpression otherDrive(QStringLiteral("^[abd-z]::?$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QDir devices(prefix() + QStringLiteral("/dosdevices"));
    for (const QString& name : devices.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (otherDrive.match(name).hasMatch())
            QFile::remove(devices.filePath(name));
    }
    // The user's Desktop, Documents, Templates (deeper, under AppData) and the like are links into the home:
    // folders of their own keep what an installer puts there inside drive C:, where the try looks for it.
    QStringList links;
    QDirIterator users(driveC() + QStringLiteral("/users"), QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    while (users.hasNext()) {
        const QFileInfo entry(users.next());
        if (entry.isSymLink())
            links << entry.filePath();
    }
    for (const QString& link : links) {
        if (QFile::remove(link))
            QDir().mkdir(link);
    }
}

}  // namespace pw
