// Trying a small add-on, measured: a compacted add-on of a batch file that writes one file under Program
// Files, made by packwright-build, tried as a user tries it (a fresh prefix, the private display, the
// report). A first try fills the page cache and makes the prepared prefix, in a cache folder of the bench's
// own: it is reported as the cold try. The rounds after it, warm (the prefix a copy of the prepared one),
// are timed, each step apart (from one status to the next), and the medians are reported against the
// target of 5 s for the whole try. Then the prefix alone: made with wineboot, its server ended and the
// folder removed, as many times.
//
//   tryout_bench [--rounds N] [work-folder]   3 rounds; the add-on, the prefixes and the reports go into the
//                                             work folder (a temporary folder by default)
#include "CompareArguments.h"
#include "TimedRun.h"
#include "tryout/TryFolder.h"
#include "tryout/TryAddon.h"
#include "tryout/WinePrefix.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

constexpr double kTargetSeconds = 5;

QByteArray LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("?");
}

// Notes when each step starts.
class StepClock : public pw::TryUi {
public:
    void setStatus(const QString& text) override { steps.push_back({text.left(40), clock.elapsed() / 1000.0}); }

    QElapsedTimer clock;
    std::vector<std::pair<QString, double>> steps;
};

QString MakeAddon(const QString& folder)
{
    QDir().mkpath(folder + QStringLiteral("/program"));
    QFile script(folder + QStringLiteral("/program/install.cmd"));
    if (!script.open(QIODevice::WriteOnly))
        return {};
    script.write(
        "@echo off\r\nmkdir \"%ProgramFiles%\\Bench\"\r\necho installed > \"%ProgramFiles%\\Bench\\bench.txt\"\r\n");
    script.close();
    QProcess build;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder + QStringLiteral("/data"));
    build.setProcessEnvironment(environment);
    const QString addon = folder + QStringLiteral("/Bench.cab");
    build.start(QStringLiteral(PACKWRIGHT_BUILD), {QStringLiteral("--folder"), folder + QStringLiteral("/program"),
                                                   QStringLiteral("--start"), QStringLiteral("install.cmd"), addon});
    return build.waitForFinished(120000) && build.exitCode() == 0 ? addon : QString();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::optional<CompareArguments> arguments =
        ParseCompareArguments(argc, argv, "usage: tryout_bench [--rounds N] [work-folder]\n");
    if (!arguments)
        return 2;
    const int rounds = arguments->rounds;
    QTemporaryDir temporary;
    const QString folder = arguments->corpus.isEmpty() ? temporary.path() : arguments->corpus;
    const QString addon = MakeAddon(folder);
    if (addon.isEmpty()) {
        std::fprintf(stderr, "packwright-build could not make the add-on\n");
        return 1;
    }
    pw::TryOptions options;
    options.addon = addon;
    options.appDir = QStringLiteral(PW_APPDIR);
    options.reportParent = folder + QStringLiteral("/reports");
    options.scratchParent = folder + QStringLiteral("/scratch");
    options.prefixCache = folder + QStringLiteral("/prefixes");
    options.tools = pw::FindTryTools();
    const pw::HostCheck host = pw::CheckHost(options.tools, true, options.texts);
    if (!host.missing.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(host.missing));
        return 3;
    }

    std::printf("load average before: %s\n", LoadAverage().constData());
    std::vector<double> totals, lines;
    std::vector<std::pair<QString, std::vector<double>>> stepTimes;  // in the order the steps come
    for (int round = 0; round <= rounds; ++round) {
        StepClock ui;
        ui.clock.start();
        const pw::TryResult result = pw::TryAddon(options, ui);
        const double total = ui.clock.elapsed() / 1000.0;
        if (result.verdict != pw::TryVerdict::InstalledSilently) {
            std::fprintf(stderr, "the try failed:\n%s\n", qPrintable(result.summary));
            return 1;
        }
        if (round == 0) {
            std::printf("cold try (making the prepared prefix): %.1f s\n", total);
            continue;
        }
        totals.push_back(total);
        lines.push_back(result.seconds);
        stepTimes.resize(ui.steps.size());
        for (std::size_t i = 0; i < ui.steps.size(); ++i) {
            stepTimes[i].first = ui.steps[i].first;
            stepTimes[i].second.push_back((i + 1 < ui.steps.size() ? ui.steps[i + 1].second : total)
                                          - ui.steps[i].second);
        }
    }
    std::printf("trying a small add-on, warm (%s Wine), median of %d: %.1f s (target %.0f s: %s)\n",
                host.runs32Bit ? "32-bit" : "64-bit", rounds, MedianOf(totals), kTargetSeconds,
                MedianOf(totals) <= kTargetSeconds ? "met" : "MISSED");
    for (const auto& [step, times] : stepTimes)
        std::printf("  %-42s %.1f s\n", qPrintable(step), MedianOf(times));
    std::printf("  of which the add-on's line itself, from Wine's start to its end: %.1f s\n", MedianOf(lines));

    std::vector<double> prefixes;
    for (int round = 0; round < rounds; ++round) {
        pw::TryFolder scratch(options.scratchParent);
        pw::WinePrefix prefix(scratch.path(), host.runs32Bit ? pw::WineArch::Win32 : pw::WineArch::Win64,
                              options.tools);
        StepClock ui;
        ui.clock.start();
        QString error;
        if (prefix.MakeFresh(QStringLiteral("winxp"), ui, &error) != pw::RunEnd::Finished) {
            std::fprintf(stderr, "the prefix could not be made: %s\n", qPrintable(error));
            return 1;
        }
        prefixes.push_back(ui.clock.elapsed() / 1000.0);
        prefix.EndAll();
    }
    std::printf("making a prefix alone, median of %d: %.1f s\n", rounds, MedianOf(prefixes));
    std::printf("load average after: %s\n", LoadAverage().constData());
    return 0;
}
