// Times RecogniseInstaller on a real NSIS installer carrying a 500 MB payload, made once by makensis in
// the work folder and kept there for later runs. A cold run first drops the installer's pages from the
// page cache (posix_fadvise, which needs no privilege), so the reads go to the disk; a warm run follows
// it. The medians are printed against the target of 50 ms.
#include "TimedRun.h"

#include "project/installer/RecogniseInstaller.h"
#include "project/target/TargetCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <chrono>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 kPayloadSize = 500LL * 1000 * 1000;
constexpr double kTargetMs = 50;

// Bytes that no compressor shrinks, quickly made (xorshift), so the installer is as big as its payload.
bool WritePayload(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    std::vector<quint64> block(1 << 17);
    quint64 state = 0x9E3779B97F4A7C15ull;
    for (qint64 written = 0; written < kPayloadSize;) {
        for (quint64& word : block) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        const qint64 count = std::min<qint64>(qint64(block.size() * sizeof(quint64)), kPayloadSize - written);
        if (file.write(reinterpret_cast<const char*>(block.data()), count) != count)
            return false;
        written += count;
    }
    return true;
}

QString MakeInstaller(const QString& folder)
{
    const QString installer = folder + QStringLiteral("/big-nsis.exe");
    if (QFileInfo(installer).size() > kPayloadSize)
        return installer;
    std::printf("making a %lld-byte NSIS installer in %s\n", kPayloadSize, qPrintable(folder));
    const QString payload = folder + QStringLiteral("/payload.bin");
    QFile script(folder + QStringLiteral("/big.nsi"));
    if (!WritePayload(payload) || !script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    script.write("Name \"Big\"\nOutFile \"big-nsis.exe\"\nSetCompress off\nRequestExecutionLevel user\n"
                 "SilentInstall silent\nSection\nSetOutPath $TEMP\nFile \"payload.bin\"\nSectionEnd\n");
    script.close();
    QProcess makensis;
    makensis.setWorkingDirectory(folder);
    makensis.start(QStringLiteral("makensis"), {QStringLiteral("-V1"), script.fileName()});
    const bool made = makensis.waitForFinished(-1) && makensis.exitCode() == 0;
    QFile::remove(payload);
    return made ? installer : QString();
}

void DropFromPageCache(const QString& path)
{
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return;
    fdatasync(fd);
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    close(fd);
}

double RecogniseMs(const QString& path, bool* recognised)
{
    const auto start = std::chrono::steady_clock::now();
    *recognised = pw::RecogniseInstaller(path) == pw::InstallerKind::Nsis;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The check against the disc's Windows reads the headers and the import directory, whatever the payload.
double CheckTargetMs(const QString& path, const QString& appDir)
{
    const auto start = std::chrono::steady_clock::now();
    pw::CheckTarget(path, pw::WindowsTarget::Xp, appDir);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString folder = QDir::tempPath() + QStringLiteral("/pw-installer-bench");
    int rounds = 11;
    const QStringList arguments = app.arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--rounds" && i + 1 < arguments.size())
            rounds = std::max(1, arguments[++i].toInt());
        else
            folder = arguments[i];
    }
    QDir().mkpath(folder);
    const QString installer = MakeInstaller(folder);
    if (installer.isEmpty()) {
        std::fprintf(stderr, "cannot make the installer in %s (is makensis installed?)\n", qPrintable(folder));
        return 1;
    }
    std::vector<double> cold;
    std::vector<double> warm;
    std::vector<double> checkCold;
    std::vector<double> checkWarm;
    const QString appDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    bool allRecognised = true;
    for (int round = 0; round < rounds; ++round) {
        bool recognised = false;
        DropFromPageCache(installer);
        cold.push_back(RecogniseMs(installer, &recognised));
        allRecognised = allRecognised && recognised;
        warm.push_back(RecogniseMs(installer, &recognised));
        allRecognised = allRecognised && recognised;
        DropFromPageCache(installer);
        checkCold.push_back(CheckTargetMs(installer, appDir));
        checkWarm.push_back(CheckTargetMs(installer, appDir));
    }
    const double coldMs = MedianOf(cold);
    const double warmMs = MedianOf(warm);
    std::printf("recognising %s (%lld bytes), median of %d rounds:\n", qPrintable(installer),
                QFileInfo(installer).size(), rounds);
    std::printf("  cold page cache %8.3f ms\n  warm page cache %8.3f ms\n  target           < %.0f ms: %s\n", coldMs,
                warmMs, kTargetMs, coldMs < kTargetMs && warmMs < kTargetMs ? "met" : "MISSED");
    std::printf("checking it against Windows XP:\n  cold page cache %8.3f ms\n  warm page cache %8.3f ms\n",
                MedianOf(checkCold), MedianOf(checkWarm));
    if (!allRecognised)
        std::printf("  the installer was not recognised as NSIS every time\n");
    return allRecognised ? 0 : 1;
}
