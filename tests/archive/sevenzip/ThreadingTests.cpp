// The library works on threads of its own; the writer's events must still reach their handlers on the
// thread that called Add, in order, while Add runs.
#include "ArchiveTools.h"

#include "archive/sevenzip/CallerThreadRelay.h"
#include "archive/sevenzip/SevenZip.h"
#include "archive/sevenzip/UpdateCallback.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

using namespace pw;
using namespace pwtest;

namespace {

QString MakeBusyFolder(const TempDir& dir, int files, qsizetype bytesEach)
{
    for (int i = 0; i < files; ++i)
        dir.write(QStringLiteral("p/f%1.bin").arg(i), RandomBytes(bytesEach, quint32(i + 10)));
    return dir.path(QStringLiteral("p"));
}

void Prepare(TSevenZip& writer, const QString& folder, const QString& archive, TCompressStrength strength)
{
    writer.AddOptions = {AddRecurseDirs};
    writer.FileList.Append(folder + QStringLiteral("/*.*"));
    writer.AddRootDir = folder;
    writer.SZFileName = archive;
    writer.LZMACompressStrength = strength;
}

TEST(SevenZipRelay, TasksFromManyThreadsRunOnTheCallingThreadInTheirOrder)
{
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<std::vector<int>> seen(4);
    int pumps = 0;
    CallerThreadRelay relay([&] { ++pumps; }, std::chrono::milliseconds(1), {});
    const HRESULT result = relay.Run([&] {
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                for (int i = 0; i < 500; ++i) {
                    auto task = [&, t, i] {
                        EXPECT_EQ(std::this_thread::get_id(), caller);
                        seen[t].push_back(i);
                    };
                    if (i % 50 == 0)
                        relay.Call(task);
                    else
                        relay.Post(task);
                }
            });
        for (std::thread& thread : threads)
            thread.join();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return S_FALSE;
    });
    EXPECT_EQ(result, S_FALSE);
    for (const std::vector<int>& order : seen) {
        ASSERT_EQ(order.size(), 500u);
        EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    }
    EXPECT_GT(pumps, 0);
}

TEST(SevenZipRelay, AThrowingTaskStopsTheWorkAndIsRethrownAfterIt)
{
    std::atomic<bool> stop{false};
    bool laterTaskRan = false;
    bool workFinished = false;
    CallerThreadRelay relay({}, std::chrono::milliseconds(10), [&] { stop = true; });
    EXPECT_THROW(relay.Run([&] {
        relay.Post([] { throw std::runtime_error("handler failed"); });
        while (!stop)
            std::this_thread::yield();
        relay.Call([&] { laterTaskRan = true; });  // dropped, but the wait still ends
        workFinished = true;
        return S_OK;
    }),
                 std::runtime_error);
    EXPECT_TRUE(workFinished);
    EXPECT_FALSE(laterTaskRan);
}

// Level 3 is where the library reports progress and writes from its worker threads too.
TEST(SevenZipThreads, EveryEventArrivesOnTheCallingThreadInOrder)
{
    TempDir dir;
    const QString folder = MakeBusyFolder(dir, 6, 300000);
    TSevenZip writer;
    Prepare(writer, folder, dir.path(QStringLiteral("out.7z")), FAST);
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<std::thread::id> threads;
    std::vector<QString> order;
    qint64 total = -1;
    qint64 lastArc = 0;
    bool monotonic = true;
    writer.OnPreProgress = [&](TSevenZip*, qint64 max) {
        threads.push_back(std::this_thread::get_id());
        order.push_back(QStringLiteral("pre"));
        total = max;
    };
    writer.OnAddfile = [&](TSevenZip*, const QString&, qint64) { threads.push_back(std::this_thread::get_id()); };
    writer.OnProgress = [&](TSevenZip*, const QString&, qint64 arc, qint64) {
        threads.push_back(std::this_thread::get_id());
        order.push_back(QStringLiteral("progress"));
        monotonic = monotonic && arc >= lastArc;
        lastArc = arc;
    };
    writer.OnSetAddName = [&](TSevenZip*, std::uint32_t, QString&) { threads.push_back(std::this_thread::get_id()); };
    ASSERT_EQ(writer.Add(), 0);
    ASSERT_GT(threads.size(), 10u);
    EXPECT_TRUE(std::all_of(threads.begin(), threads.end(), [&](std::thread::id id) { return id == caller; }));
    EXPECT_EQ(order.front(), QStringLiteral("pre"));
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(lastArc, total);
    EXPECT_TRUE(ArchiveTestsClean(writer.SZFileName));
}

// The library reports progress tens of thousands of times for a folder of program files; handing each
// report over on its own kept the packing thread and the calling thread taking each other's locks.
TEST(SevenZipThreads, ProgressReportsAreHandedOverInBatchesAndEveryEventArrivesInOrder)
{
    constexpr std::uint64_t kReports = 20000;
    constexpr std::uint64_t kStep = 10;
    TempDir dir;
    const QString file = dir.write(QStringLiteral("a.bin"), QByteArray(16, 'a'));
    TSevenZip writer;
    const SevenZipLibrary library;
    FileInformation info;
    info.size = qint64(kReports * kStep);
    const ComPtr<TMyArchiveUpdateCallback> callback(
        new TMyArchiveUpdateCallback(writer, library, {{file, info}}, QString(), QString(), {}));
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<qint64> started;
    std::vector<qint64> arcPositions;
    bool allOnCaller = true;
    writer.OnAddfile = [&](TSevenZip*, const QString& name, qint64 size) {
        EXPECT_EQ(name, file);
        started.push_back(size);
    };
    writer.OnProgress = [&](TSevenZip*, const QString&, qint64 arc, qint64 filePos) {
        allOnCaller = allOnCaller && std::this_thread::get_id() == caller;
        EXPECT_EQ(arc, filePos);
        arcPositions.push_back(arc);
    };
    CallerThreadRelay relay({}, std::chrono::milliseconds(50), {});
    callback->Attach(&relay);
    EXPECT_EQ(relay.Run([&] {
        ISequentialInStream* stream = nullptr;
        callback->GetStream(0, &stream);
        stream->Release();
        for (std::uint64_t i = 1; i <= kReports; ++i) {
            const std::uint64_t completed = i * kStep;
            callback->SetCompleted(&completed);
        }
        return S_OK;
    }),
              S_OK);
    callback->Attach(nullptr);

    EXPECT_EQ(started, std::vector<qint64>{info.size});
    ASSERT_EQ(arcPositions.size(), kReports);
    for (std::uint64_t i = 0; i < kReports; ++i)
        ASSERT_EQ(arcPositions[i], qint64((i + 1) * kStep));
    EXPECT_TRUE(allOnCaller);
    EXPECT_LT(relay.TasksHandedOver(), kReports / 100);
}

TEST(SevenZipThreads, ANewNameFromTheHandlerIsWaitedForAndStored)
{
    TempDir dir;
    const QString folder = MakeBusyFolder(dir, 3, 1000);
    TSevenZip writer;
    Prepare(writer, folder, dir.path(QStringLiteral("out.7z")), NORMAL);
    writer.OnSetAddName = [](TSevenZip*, std::uint32_t index, QString& name) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        name = QStringLiteral("novo/%1-").arg(index) + name;
    };
    ASSERT_EQ(writer.Add(), 0);
    const std::map<QString, ListedEntry> listed = ListArchive(writer.SZFileName);
    ASSERT_EQ(listed.size(), 3u);
    for (const auto& [path, entry] : listed) {
        EXPECT_TRUE(path.startsWith(QLatin1String("novo/"))) << path.toStdString();
        EXPECT_EQ(entry.size, 1000);
    }
}

TEST(SevenZipThreads, WaitingIsRaisedWhileTheLibraryWorksAndACancelThereStopsIt)
{
    TempDir dir;
    const QString folder = MakeBusyFolder(dir, 2, 3 << 20);
    TSevenZip writer;
    Prepare(writer, folder, dir.path(QStringLiteral("out.7z")), ULTRA);
    const std::thread::id caller = std::this_thread::get_id();
    int waits = 0;
    std::vector<qint32> codes;
    writer.OnWaiting = [&](TSevenZip* sender) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        if (++waits == 2)
            sender->CancelRequested = true;
    };
    writer.OnMessage = [&](TSevenZip*, qint32 code, const QByteArray&, const QString&) { codes.push_back(code); };
    EXPECT_NE(writer.Add(), 0);
    EXPECT_GE(waits, 2);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), 6);
    EXPECT_EQ(writer.ErrCode, 6);
    EXPECT_FALSE(writer.CancelRequested);

    // The next Add starts afresh.
    writer.OnWaiting = nullptr;
    writer.LZMACompressStrength = SAVE;
    EXPECT_EQ(writer.Add(), 0);
    EXPECT_TRUE(ArchiveTestsClean(writer.SZFileName));
}

TEST(SevenZipThreads, ACancelBeforeTheLibraryStartsWritesNothing)
{
    TempDir dir;
    TSevenZip writer;
    Prepare(writer, MakeSampleTree(dir.path()), dir.path(QStringLiteral("out.7z")), NORMAL);
    writer.OnWaiting = [](TSevenZip* sender) { sender->CancelRequested = true; };
    EXPECT_EQ(writer.Add(), E_ABORT);
    EXPECT_EQ(writer.ErrCode, 6);
    EXPECT_FALSE(Exists(writer.SZFileName));
}

TEST(SevenZipThreads, AHandlerThatThrowsEndsAddOnlyAfterTheLibraryHasFinished)
{
    TempDir dir;
    const QString folder = MakeBusyFolder(dir, 4, 200000);
    TSevenZip writer;
    Prepare(writer, folder, dir.path(QStringLiteral("out.7z")), FAST);
    writer.OnProgress = [](TSevenZip*, const QString&, qint64, qint64) { throw std::runtime_error("stop"); };
    EXPECT_THROW(writer.Add(), std::runtime_error);
    EXPECT_FALSE(writer.CancelRequested);
    writer.OnProgress = nullptr;
    EXPECT_EQ(writer.Add(), 0);
    EXPECT_TRUE(ArchiveTestsClean(writer.SZFileName));
}

}  // namespace
