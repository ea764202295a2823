#include "tryout/TryAddon.h"

#include "platform/Errors.h"
#include "tryout/AddonFiles.h"
#include "tryout/DisplayWatch.h"
#include "tryout/DriveChanges.h"
#include "tryout/PreparedPrefix.h"
#include "tryout/PrivateDisplay.h"
#include "tryout/ProgramSwap.h"
#include "tryout/RegistryFile.h"
#include "tryout/RunnerReport.h"
#include "tryout/TryFolder.h"
#include "tryout/TryReport.h"
#include "tryout/WindowTracker.h"
#include "tryout/WinePrefix.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <optional>

namespace pw {
namespace {

const QString kRunner = QStringLiteral("tryrun.exe");
// tryrun's report, in the prefix's Windows folder: made before the run, so that it is no file the add-on added.
const QString kRunnerReport = QStringLiteral("tryrun-report.txt");
// How often a run's tick looks into tryrun's report for a program that waits for a key.
constexpr qint64 kReportLookMs = 500;
// The add-on's own programs keep their log in the temporary folder: it goes into the report, and is not
// something the add-on left behind.
const QString kAddonLog = QStringLiteral("packwright-addon.log");

// Remembers a cancel once asked for, so that every step after it knows.
class LatchedUi : public TryUi {
public:
    explicit LatchedUi(TryUi& ui) : ui_(ui) {}
    void setStatus(const QString& text) override { ui_.setStatus(text); }
    bool cancelRequested() override { return cancelled_ = cancelled_ || ui_.cancelRequested(); }
    bool cancelled() const { return cancelled_; }

private:
    TryUi& ui_;
    bool cancelled_ = false;
};

struct Registry {
    RegistryKeys machine, user;
};

class Try {
public:
    Try(const TryOptions& options, TryUi& ui) : options_(options), texts_(options_.texts), ui_(ui) {}

    ~Try()
    {
        if (display_)
            display_->Stop();
        if (prefix_) {
            ui_.setStatus(texts_.CleaningStr);
            prefix_->EndAll();
        }
    }

    // A step that fails for every add-on (the display, the prefix, the scratch folder) or a cancel ends the
    // try at the add-on it came to.
    QList<TryResult> Run(const QStringList& addons)
    {
        QList<TryResult> results;
        for (index_ = 0; index_ < addons.size() && !failedForAll_ && !ui_.cancelled(); ++index_) {
            options_.addon = addons[index_];
            result_ = TryResult();
            result_.addon = options_.addon;
            if (addons.size() > 1)
                ui_.setStatus(texts_.AddonStr.arg(index_ + 1).arg(addons.size()).arg(QFileInfo(options_.addon).fileName()));
            if (CheckOptionsAndHost() && Unpack() && Prepare() && RunLines())
                Compare();
            result_.cancelled = ui_.cancelled();
            if (result_.cancelled)
                Stop(TryVerdict::Failed, texts_.StoppedStr);
            if (result_.summary.isEmpty())
                result_.summary = SummaryText(result_, QString(), options_);
            results << result_;
        }
        return results;
    }

private:
    bool Stop(TryVerdict verdict, const QString& reason)
    {
        result_.verdict = verdict;
        result_.reason = reason;
        result_.summary.clear();
        return false;
    }

    bool CheckOptionsAndHost()
    {
        if (!QFileInfo(options_.addon).isFile() || !QFileInfo(options_.addon).isReadable())
            return Stop(TryVerdict::Usage, texts_.NoAddonStr.arg(options_.addon));
        if (options_.timeLimitSeconds < 1 || options_.windowLimitSeconds < 1)
            return Stop(TryVerdict::Usage, texts_.BadLimitStr);
        host_ = CheckHost(options_.tools, options_.allow32BitWine, texts_);
        if (!host_.missing.isEmpty())
            return Stop(TryVerdict::CannotTry, host_.missing);
        arch_ = host_.runs32Bit ? WineArch::Win32 : WineArch::Win64;
        result_.imitated = ImitatedWindows(options_.target, arch_);
        programs_ = arch_ == WineArch::Win32 ? options_.appDir : options_.appDir + QStringLiteral("/x86_64");
        if (!QFileInfo(QDir(programs_).filePath(kRunner)).isFile())
            return Stop(TryVerdict::Failed, texts_.HelperMissingStr.arg(kRunner, programs_));
        return true;
    }

    // The add-on's files in the scratch folder, ready for this host's Wine.
    bool Unpack()
    {
        if (!scratch_)
            scratch_.emplace(options_.scratchParent);
        if (!scratch_->isValid()) {
            failedForAll_ = true;
            return Stop(TryVerdict::Failed, texts_.ScratchStr.arg(options_.scratchParent, scratch_->error()));
        }
        ui_.setStatus(texts_.UnpackingStr);
        if (const QString error = UnpackCabinet(options_.tools, options_.addon, Unpacked(), ui_, texts_);
            !error.isEmpty())
            return Stop(TryVerdict::Failed, error);
        const AddonEntries entries = ReadEntries(Unpacked(), texts_);
        entriesFile_ = entries.file;
        result_.lines = entries.lines;
        if (!entries.error.isEmpty())
            return Stop(TryVerdict::Failed, entries.error);
        return CheckPrograms(Unpacked() + QStringLiteral("/svcpack"));
    }

    // The add-on laid out in the prefix (made for the first), and how the prefix was before the run.
    bool Prepare()
    {
        if (!prefix_ && !MakePrefix()) {
            failedForAll_ = true;
            return false;
        }
        // What the add-on before left running ends here, and its registry is saved for this one to start from.
        prefix_->EndAll();
        if (!LayOut(Unpacked(), entriesFile_, prefix_->driveC() + QStringLiteral("/I386"))
            || !QFile(RunnerReportFile()).open(QIODevice::WriteOnly))
            return Stop(TryVerdict::Failed, texts_.ScratchStr.arg(prefix_->driveC(), SystemErrorText(errno)));
        before_ = SnapshotTree(prefix_->driveC());
        registryBefore_ = ReadRegistry();
        return true;
    }

    // The display and the prefix with our runner in it.
    bool MakePrefix()
    {
        QString error;
        display_.emplace(scratch_->path());
        if (const RunEnd end = display_->Start(options_.tools, ui_, &error); end != RunEnd::Finished)
            return end != RunEnd::Cancelled && Stop(TryVerdict::Failed, texts_.DisplayFailedStr.arg(error));
        ui_.setStatus(texts_.PrefixStr);
        prefix_.emplace(scratch_->path(), arch_, options_.tools);
        const QString cache = options_.prefixCache.isEmpty() ? DefaultPrefixCache() : options_.prefixCache;
        if (const RunEnd end = prefix_->Make(cache, QLatin1String(FactsOf(result_.imitated).wineName), ui_, &error);
            end != RunEnd::Finished)
            return end != RunEnd::Cancelled && Stop(TryVerdict::Failed, texts_.WineFailedStr.arg(error));
        if (!QFile::copy(QDir(programs_).filePath(kRunner), prefix_->driveC() + QStringLiteral("/windows/") + kRunner))
            return Stop(TryVerdict::Failed, texts_.ScratchStr.arg(prefix_->driveC(), SystemErrorText(errno)));
        return true;
    }

    // A start file the disc's Windows cannot run fails as it would there. On a host whose Wine runs only
    // 64-bit programs our own programs give way to their x86-64 builds, and a 32-bit start file cannot try.
    bool CheckPrograms(const QString& folder)
    {
        const bool exchange = arch_ == WineArch::Win64;
        const ProgramSwap swap = UseX86_64Programs(folder, result_.lines, options_.appDir,
                                                   Scratch(QStringLiteral("swap-%1").arg(index_)), options_.tools, ui_,
                                                   exchange);
        if (ui_.cancelled())
            return false;
        if (!swap.error.isEmpty())
            return Stop(TryVerdict::Failed, texts_.SwapFailedStr.arg(QFileInfo(swap.error).fileName()));
        if (!swap.is64Bit.isEmpty() && !FactsOf(options_.target).is64Bit)
            return Stop(TryVerdict::Failed, texts_.WrongArchStr.arg(swap.is64Bit, WindowsName(options_.target)));
        if (exchange && !swap.needs32Bit.isEmpty())
            return Stop(TryVerdict::CannotTry,
                        (host_.wine32Installed ? texts_.No32BitSystemStr : texts_.NeedWine32Str).arg(swap.needs32Bit));
        result_.replacedPrograms = swap.replaced;
        return true;
    }

    bool RunLines()
    {
        ui_.setStatus(texts_.RunningStr.arg(result_.lines.join(QStringLiteral(" | ")),
                                            QString::number(options_.timeLimitSeconds)));
        DisplayWatch watch;
        if (!watch.Connect(display_->name(), display_->cookie()))
            return Stop(TryVerdict::Failed, texts_.DisplayFailedStr.arg(display_->name()));
        WindowTracker tracker(qint64(options_.windowLimitSeconds) * 1000);
        std::optional<VisibleWindow> waited;

        // As during Windows setup, the lines run in the add-on's folder.
        QString folder = prefix_->driveC() + QStringLiteral("/I386/svcpack");
        if (!QFileInfo(folder).isDir())
            folder = prefix_->driveC() + QStringLiteral("/I386");
        const QString output = Scratch(QStringLiteral("run.txt"));
        QProcess process;
        prefix_->Running();
        const QString windows = QStringLiteral("C:\\windows\\");
        Start(process, {prefix_->loader(), QStringList{windows + kRunner, windows + kRunnerReport} + result_.lines,
                        prefix_->Environment(display_->name(), display_->authorityFile()), folder, output});
        if (!process.waitForStarted())
            return Stop(TryVerdict::Failed, texts_.WineFailedStr.arg(process.errorString()));
        QElapsedTimer clock;
        clock.start();
        qint64 reportLooked = 0;
        const RunEnd end = WaitForEnd(process, qint64(options_.timeLimitSeconds) * 1000, &ui_, [&] {
            waited = tracker.Observe(watch.Windows(), clock.elapsed());
            if (waited) {
                // The window alone: on the whole screen its text is too small to read once shown.
                if (const QImage screen = watch.Screenshot(); !screen.isNull())
                    screenshots_ << screen.copy(waited->geometry.intersected(screen.rect()));
            }
            if (clock.elapsed() - reportLooked >= kReportLookMs) {
                reportLooked = clock.elapsed();
                result_.inputWaiter = ReadRunnerReport(ReadWholeFile(RunnerReportFile()), texts_).inputWaiter;
            }
            return waited.has_value() || !result_.inputWaiter.isEmpty();
        });
        result_.seconds = clock.elapsed() / 1000.0;
        result_.windows = tracker.windows();
        result_.timedOut = end == RunEnd::TimedOut;
        result_.waitedOnWindow = end == RunEnd::Stopped && waited;
        waitedTitle_ = waited ? waited->title : QString();
        const RunnerReport report = ReadRunnerReport(ReadWholeFile(RunnerReportFile()), texts_);
        result_.exitCodes = report.exitCodes;
        result_.startError = report.startError;
        result_.startErrorText = report.startErrorText;
        result_.processesLeft = report.processes;
        // tryrun reports every line it started: ending without a word, it never ran.
        if (end == RunEnd::Finished && result_.exitCodes.isEmpty() && !result_.startError)
            return Stop(TryVerdict::Failed,
                        texts_.WineFailedStr.arg(QString::fromUtf8(ReadWholeFile(output)).trimmed()));
        result_.ran = true;
        return end != RunEnd::Cancelled;
    }

    void Compare()
    {
        // What the lines left running ends here, and the server saves the registry as the run left it.
        prefix_->EndAll();
        ui_.setStatus(texts_.ComparingStr);
        const QString temp = TempFolder(prefix_->driveC());
        const DriveChanges added = AddedFiles(before_, SnapshotTree(prefix_->driveC()), temp, kAddonLog);
        result_.filesAdded = added.files;
        result_.shortcuts = added.shortcuts;
        result_.tempLeft = added.temp;
        const Registry after = ReadRegistry();
        result_.registryAdded = SoftwareChanges(registryBefore_.machine, after.machine, QStringLiteral("HKLM"))
                                + SoftwareChanges(registryBefore_.user, after.user, QStringLiteral("HKCU"));

        const QString verdict = VerdictText(result_, waitedTitle_, options_);
        result_.verdictText = verdict;
        result_.installedNothing = InstalledSilently(result_) && result_.filesAdded.isEmpty()
                                   && result_.registryAdded.isEmpty() && result_.shortcuts.isEmpty();
        if (!InstalledSilently(result_))
            Stop(TryVerdict::Failed, verdict);
        else if (result_.installedNothing && options_.strict)
            Stop(TryVerdict::Failed, texts_.NothingInstalledStr);
        else
            result_.verdict = TryVerdict::InstalledSilently;
        QString error;
        const QString addonLog =
            temp.isEmpty() ? QString() : prefix_->driveC() + QLatin1Char('/') + temp + QLatin1Char('/') + kAddonLog;
        const bool written =
            WriteReportFiles(result_, options_.reportParent, options_.addon, screenshots_, addonLog, &error);
        result_.summary = SummaryText(result_, verdict, options_);
        if (!written || !WriteSummary(result_, &error))
            result_.summary += QStringLiteral("\n") + texts_.ReportFolderStr.arg(options_.reportParent, error);
    }

    Registry ReadRegistry() const
    {
        return {ReadRegistryFile(prefix_->prefix() + QStringLiteral("/system.reg")),
                ReadRegistryFile(prefix_->prefix() + QStringLiteral("/user.reg"))};
    }

    QString RunnerReportFile() const { return prefix_->driveC() + QStringLiteral("/windows/") + kRunnerReport; }
    QString Scratch(const QString& name) const { return scratch_->path() + QLatin1Char('/') + name; }
    QString Unpacked() const { return Scratch(QStringLiteral("addon-%1").arg(index_)); }

    TryOptions options_;  // of the add-on being tried
    const TryTexts& texts_;
    LatchedUi ui_;
    TryResult result_;
    qsizetype index_ = 0;  // of the add-on being tried
    bool failedForAll_ = false;
    HostCheck host_;
    WineArch arch_ = WineArch::Win64;
    QString programs_;  // the build of our programs this host's Wine runs
    QString entriesFile_;
    // Destroyed in the reverse order: Wine and the display end before their folder goes.
    std::optional<TryFolder> scratch_;
    std::optional<PrivateDisplay> display_;
    std::optional<WinePrefix> prefix_;
    TreeSnapshot before_;
    Registry registryBefore_;
    QList<QImage> screenshots_;
    QString waitedTitle_;
};

}  // namespace

TryResult TryAddon(const TryOptions& options, TryUi& ui)
{
    return Try(options, ui).Run({options.addon}).constFirst();
}

QList<TryResult> TryAddons(const TryOptions& options, const QStringList& addons, TryUi& ui)
{
    return Try(options, ui).Run(addons);
}

}  // namespace pw
