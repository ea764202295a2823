// What the window costs a user outside of a build, measured from outside the process on an X server:
// the time from launch until its window is mapped, the CPU time and wake-ups of the window at rest, and
// the time from a close request (as a window manager sends it) until the process has ended.
//
//   window_bench [--runs N] [--idle-seconds S] PROGRAM [ARGUMENTS...]
//
// Each run starts PROGRAM in a fresh process with a data folder of its own. The idle figures come from
// the first run: CPU time from /proc/PID/stat, wake-ups from the context-switch counters of all its
// threads, over S seconds (20 by default) after a settling second.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

class Display {
public:
    Display() : connection_(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(connection_))
            return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        // Every top-level window that is mapped is reported: under Xvfb no window manager reparents them.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        pidAtom_ = Atom("_NET_WM_PID");
        protocolsAtom_ = Atom("WM_PROTOCOLS");
        deleteAtom_ = Atom("WM_DELETE_WINDOW");
        xcb_flush(connection_);
    }
    ~Display() { xcb_disconnect(connection_); }

    bool ok() const { return xcb_connection_has_error(connection_) == 0; }

    // The first top-level window of process `pid` to be mapped, waiting at most `timeout`.
    std::optional<xcb_window_t> WaitForMappedWindow(pid_t pid, Clock::duration timeout)
    {
        const Clock::time_point end = Clock::now() + timeout;
        while (Clock::now() < end) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                std::optional<xcb_window_t> window;
                if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                    const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                    if (PidOf(map->window) == pid)
                        window = map->window;
                }
                std::free(event);
                if (window)
                    return window;
            }
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            ::poll(&fd, 1, 50);
        }
        return std::nullopt;
    }

    // The close request a window manager sends when the user clicks the window's close button.
    void RequestClose(xcb_window_t window)
    {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = protocolsAtom_;
        message.data.data32[0] = deleteAtom_;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
        xcb_flush(connection_);
    }

private:
    xcb_atom_t Atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }

    pid_t PidOf(xcb_window_t window)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        pid_t pid = -1;
        if (reply && xcb_get_property_value_length(reply) == 4)
            pid = pid_t(*static_cast<uint32_t*>(xcb_get_property_value(reply)));
        std::free(reply);
        return pid;
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = 0, protocolsAtom_ = 0, deleteAtom_ = 0;
};

// CPU time (user + system, in clock ticks) and context switches of every thread of a process so far.
struct Usage {
    long long ticks = 0;
    long long switches = 0;
    int threads = 0;
};

Usage UsageOf(pid_t pid)
{
    Usage usage;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        // The fields after the command name, which is in parentheses and may hold blanks.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            usage.ticks = fields[11].toLongLong() + fields[12].toLongLong();  // utime, stime
    }
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks + QLatin1Char('/') + task + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        ++usage.threads;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
                usage.switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
    }
    return usage;
}

struct Run {
    double shownMs = -1;
    double exitMs = -1;
    std::optional<Usage> idleStart, idleEnd;
};

// Waits for the end of `child` (SIGCHLD is blocked, so it stays pending until taken here).
bool WaitForExit(pid_t child, Clock::duration timeout)
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGCHLD);
    const Clock::time_point end = Clock::now() + timeout;
    for (;;) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child)
            return true;
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(end - Clock::now());
        if (left.count() <= 0)
            return false;
        const timespec wait{time_t(left.count() / 1000000000), long(left.count() % 1000000000)};
        sigtimedwait(&set, nullptr, &wait);
    }
}

Run RunOnce(Display& display, const std::vector<std::string>& command, double idleSeconds)
{
    QTemporaryDir home;
    QDir().mkpath(home.path() + QStringLiteral("/Brontel/Packwright/temp"));
    QDir().mkpath(home.path() + QStringLiteral("/runtime"));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray dataHome = QFile::encodeName(home.path());
    const QByteArray runtime = QFile::encodeName(home.path() + QStringLiteral("/runtime"));
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);

    Run run;
    const Clock::time_point launched = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("XDG_DATA_HOME", dataHome.constData(), 1);
        ::setenv("XDG_RUNTIME_DIR", runtime.constData(), 1);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    const std::optional<xcb_window_t> window = display.WaitForMappedWindow(child, std::chrono::seconds(30));
    if (!window) {
        ::kill(child, SIGKILL);
        WaitForExit(child, std::chrono::seconds(5));
        return run;
    }
    run.shownMs = Milliseconds(Clock::now() - launched);

    if (idleSeconds > 0) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        run.idleStart = UsageOf(child);
        std::this_thread::sleep_for(std::chrono::duration<double>(idleSeconds));
        run.idleEnd = UsageOf(child);
    }

    const Clock::time_point closed = Clock::now();
    display.RequestClose(*window);
    if (WaitForExit(child, std::chrono::seconds(30))) {
        run.exitMs = Milliseconds(Clock::now() - closed);
    } else {
        ::kill(child, SIGKILL);
        WaitForExit(child, std::chrono::seconds(5));
    }
    return run;
}

void PrintSpread(const char* what, std::vector<double> values, double target)
{
    std::sort(values.begin(), values.end());
    if (values.empty() || values.front() < 0) {
        std::printf("%-26s not measured (a run failed)\n", what);
        return;
    }
    std::printf("%-26s median %7.1f ms   min %7.1f   max %7.1f   (target at most %.0f ms)\n", what,
                values[values.size() / 2], values.front(), values.back(), target);
}

}  // namespace

int main(int argc, char* argv[])
{
    int runs = 10;
    double idleSeconds = 20;
    int first = 1;
    for (; first + 1 < argc && std::strncmp(argv[first], "--", 2) == 0; first += 2) {
        if (std::strcmp(argv[first], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[first + 1]));
        else if (std::strcmp(argv[first], "--idle-seconds") == 0)
            idleSeconds = std::atof(argv[first + 1]);
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: window_bench [--runs N] [--idle-seconds S] PROGRAM [ARGUMENTS...]\n"
                             "Needs an X server; under Xvfb: xvfb-run -a window_bench ...\n");
        return 2;
    }
    const std::vector<std::string> command(argv + first, argv + argc);

    // Child ends are taken with sigtimedwait, so SIGCHLD waits blocked until then.
    sigset_t childSignal;
    sigemptyset(&childSignal);
    sigaddset(&childSignal, SIGCHLD);
    sigprocmask(SIG_BLOCK, &childSignal, nullptr);

    Display display;
    if (!display.ok()) {
        std::fprintf(stderr, "window_bench: no X server (set DISPLAY, or run it under xvfb-run -a)\n");
        return 1;
    }
    // One start first, so that every timed start finds the program and its libraries in the page cache.
    RunOnce(display, command, 0);

    std::vector<double> shown, exits;
    std::optional<Run> idle;
    for (int i = 0; i < runs; ++i) {
        const Run run = RunOnce(display, command, i == 0 ? idleSeconds : 0);
        shown.push_back(run.shownMs);
        exits.push_back(run.exitMs);
        if (i == 0)
            idle = run;
    }
    std::printf("%s, %d runs\n", command.front().c_str(), runs);
    PrintSpread("launch to window mapped:", shown, 300);
    PrintSpread("close request to exit:", exits, 200);
    if (idle && idle->idleStart && idle->idleEnd) {
        const double ticksPerSecond = double(::sysconf(_SC_CLK_TCK));
        const double cpu = double(idle->idleEnd->ticks - idle->idleStart->ticks) / ticksPerSecond / idleSeconds * 100;
        const double wakeUps = double(idle->idleEnd->switches - idle->idleStart->switches) / idleSeconds;
        std::printf("%-26s %.2f %% of a core, %.1f wake-ups/s over %.0f s, %d threads"
                    "   (targets at most 0.5 %%, 20 wake-ups/s)\n",
                    "window at rest:", cpu, wakeUps, idleSeconds, idle->idleEnd->threads);
    }
    return 0;
}
