// The cabinet library stand-in, driven directly through its API with callbacks that record what it asks.
#include "archive/cabinet/CabinetCallbacks.h"
#include "platform/cabinet/BlockPipeline.h"
#include "platform/cabinet/Fci.h"

#include "support/CabinetDecoders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace pw;

// A caller of the API: the host callbacks for files, plus sources that exist only in memory (handles
// from 1000 on) and a record of the notifications in the order they came.
struct Caller {
    ERF erf{};
    CCAB ccab{};
    std::vector<std::string> events;
    std::vector<QByteArray> sources;  // virtual source n is opened as "mem:n"
    std::vector<qint64> sourcePos;
    int failReadAfter = -1;  // virtual reads before one fails with EIO
    int statusAbortAt = -1;  // status notification number that asks to abort
    int statusCount = 0;
    bool refuseTempName = false;
    long liveBlocks = 0;
    std::thread::id thread = std::this_thread::get_id();  // the only one the callbacks may be called on

    static Caller& Of(void* pv) { return *static_cast<Caller*>(pv); }
};

Caller* gCurrent = nullptr;  // for the allocation callbacks, which get no context

void* CountingAlloc(ULONG cb)
{
    EXPECT_EQ(std::this_thread::get_id(), gCurrent->thread);
    ++gCurrent->liveBlocks;
    return FciAlloc(cb);
}

void CountingFree(void* p)
{
    --gCurrent->liveBlocks;
    FciFree(p);
}

int Placed(PCCAB ccab, char* name, LONG size, BOOL continuation, void* pv)
{
    Caller::Of(pv).events.push_back("placed " + std::string(ccab->szCab) + " " + name + " " + std::to_string(size) +
                                    (continuation ? " cont" : ""));
    return 0;
}

BOOL GetTemp(char* name, int size, void* pv)
{
    return Caller::Of(pv).refuseTempName ? 0 : FciGetTempFile(name, size, pv);
}

BOOL NextCab(PCCAB ccab, ULONG, void* pv)
{
    std::snprintf(ccab->szCab, sizeof ccab->szCab, "next%d.cab", ccab->iCab);
    Caller::Of(pv).events.push_back("next " + std::to_string(ccab->iCab));
    return 1;
}

LONG Status(UINT kind, ULONG cb1, ULONG cb2, void* pv)
{
    Caller& c = Caller::Of(pv);
    EXPECT_EQ(std::this_thread::get_id(), c.thread);
    if (kind != statusFolder)
        c.events.push_back("status " + std::to_string(kind) + " " + std::to_string(cb1) + " " + std::to_string(cb2));
    return c.statusCount++ == c.statusAbortAt ? -1 : 0;
}

INT_PTR OpenInfo(char* name, USHORT* date, USHORT* time, USHORT* attribs, int* err, void* pv)
{
    Caller& c = Caller::Of(pv);
    if (std::strncmp(name, "mem:", 4) != 0)
        return FciGetOpenInfo(name, date, time, attribs, err, pv);
    *date = 0x5822;
    *time = 0x1883;
    *attribs = 0x20;
    const int n = std::atoi(name + 4);
    c.sourcePos[n] = 0;
    return 1000 + n;
}

UINT Read(INT_PTR hf, void* memory, UINT cb, int* err, void* pv)
{
    Caller& c = Caller::Of(pv);
    if (hf < 1000)
        return FciRead(hf, memory, cb, err, pv);
    if (c.failReadAfter == 0) {
        *err = EIO;
        return UINT(-1);
    }
    --c.failReadAfter;
    const QByteArray& data = c.sources[size_t(hf - 1000)];
    qint64& pos = c.sourcePos[size_t(hf - 1000)];
    const qint64 n = std::min<qint64>(cb, data.size() - pos);
    std::memcpy(memory, data.constData() + pos, size_t(n));
    pos += n;
    return UINT(n);
}

int Close(INT_PTR hf, int* err, void* pv)
{
    return hf >= 1000 ? 0 : FciClose(hf, err, pv);
}

// A context writing "t.cab" into `folder`, with the rest of its CCAB as `caller` has it.
HFCI CreateIn(Caller& caller, const QString& folder, ULONG cb)
{
    gCurrent = &caller;
    const QByteArray path = QFile::encodeName(folder) + "/";
    std::strcpy(caller.ccab.szCabPath, path.constData());
    std::strcpy(caller.ccab.szCab, "t.cab");
    std::strcpy(caller.ccab.szDisk, "Disk1");
    caller.ccab.cb = cb;
    return FCICreate(&caller.erf, Placed, CountingAlloc, CountingFree, FciOpen, Read, FciWrite, Close, FciSeek,
                     FciDelete, GetTemp, &caller.ccab, &caller);
}

// Adds an in-memory source under `name`.
BOOL AddSource(Caller& caller, HFCI h, const QByteArray& data, const char* name, TCOMP type)
{
    caller.sources.push_back(data);
    caller.sourcePos.push_back(0);
    const std::string source = "mem:" + std::to_string(caller.sources.size() - 1);
    return FCIAddFile(h, const_cast<char*>(source.c_str()), const_cast<char*>(name), 0, NextCab, Status, OpenInfo,
                      type);
}

class Fci : public ::testing::Test {
protected:
    void SetUp() override { gCurrent = &caller; }

    HFCI Create(ULONG cb = 0) { return CreateIn(caller, dir.path(), cb); }
    BOOL Add(HFCI h, const QByteArray& data, const char* name, TCOMP type = tcompTYPE_NONE)
    {
        return AddSource(caller, h, data, name, type);
    }
    BOOL Flush(HFCI h) { return FCIFlushCabinet(h, 0, NextCab, Status); }

    void ExpectError(UINT oper, UINT type)
    {
        EXPECT_TRUE(caller.erf.fError);
        EXPECT_EQ(caller.erf.erfOper, oper);
        EXPECT_EQ(caller.erf.erfType, type);
    }

    pwtest::TempDir dir;
    Caller caller;
};

TEST_F(Fci, OneStoredFileIsByteForByteTheKnownCabinet)
{
    HFCI h = Create();
    ASSERT_TRUE(h);
    ASSERT_TRUE(Add(h, "abcdefg", "seven.txt"));
    ASSERT_TRUE(Flush(h));
    ASSERT_TRUE(FCIDestroy(h));
    const QByteArray expected = QByteArray::fromHex(
        "4d53434600000000550000000000000" "02c000000000000000301010001000000"
        "0000000046000000010000000700000000000000000022588318200073657665"
        "6e2e747874000104016407000700616263646566" "67");
    EXPECT_EQ(pwtest::ReadAll(dir.path("t.cab")).toHex(), expected.toHex());
    EXPECT_EQ(caller.liveBlocks, 0) << "every block taken through the allocation callback is given back";
}

TEST_F(Fci, NotifiesAsTheApiDoes)
{
    HFCI h = Create();
    ASSERT_TRUE(Add(h, QByteArray(40000, 'a'), "a"));
    ASSERT_TRUE(Add(h, "bc", "b"));
    // Files are placed when their folder is flushed, not when they are added.
    EXPECT_EQ(caller.events, (std::vector<std::string>{"status 0 32768 32768"}));
    ASSERT_TRUE(Flush(h));
    const std::vector<std::string> expected{"status 0 32768 32768", "status 0 7234 7234", "placed t.cab a 40000",
                                            "placed t.cab b 2", "status 2 0 40098"};
    EXPECT_EQ(caller.events, expected);
    EXPECT_EQ(QFileInfo(dir.path("t.cab")).size(), 36 + 8 + 2 * (16 + 2) + 2 * 8 + 40002);
    FCIDestroy(h);
}

TEST_F(Fci, RefusesWhatTheFormatCannotHold)
{
    HFCI h = Create();
    EXPECT_FALSE(Add(h, "x", std::string(256, 'n').c_str()));
    ExpectError(FCIERR_CAB_FORMAT_LIMIT, ENAMETOOLONG);
    EXPECT_FALSE(Add(h, "x", "lzx", tcompTYPE_LZX | (21 << 8)));
    ExpectError(FCIERR_BAD_COMPR_TYPE, 0);
    EXPECT_FALSE(Add(h, "x", "quantum", tcompTYPE_QUANTUM));
    ExpectError(FCIERR_BAD_COMPR_TYPE, 0);
    // None of these spoiled the context: a file with a name of 255 bytes still goes in.
    EXPECT_TRUE(Add(h, "x", std::string(255, 'n').c_str()));
    EXPECT_TRUE(Flush(h));
    FCIDestroy(h);
}

TEST_F(Fci, MoreFilesThanACabinetCanListFails)
{
    HFCI h = Create();
    for (int i = 0; i < 65535; ++i)
        ASSERT_TRUE(Add(h, "", ("f" + std::to_string(i)).c_str())) << i;
    EXPECT_FALSE(Add(h, "", "one too many"));
    ExpectError(FCIERR_CAB_FORMAT_LIMIT, 0);
    FCIDestroy(h);
    EXPECT_EQ(caller.liveBlocks, 0);
}

TEST_F(Fci, CallbackFailuresBecomeTheirErrorCodes)
{
    {
        HFCI h = Create();
        EXPECT_FALSE(FCIAddFile(h, const_cast<char*>("/no/such/file"), const_cast<char*>("n"), 0, NextCab, Status,
                                OpenInfo, tcompTYPE_NONE));
        ExpectError(FCIERR_OPEN_SRC, ENOENT);
        EXPECT_TRUE(Add(h, "after", "after")) << "a source that cannot be opened changes nothing";
        EXPECT_TRUE(Flush(h));
        FCIDestroy(h);
    }
    {
        HFCI h = Create();
        caller.failReadAfter = 1;
        EXPECT_FALSE(Add(h, QByteArray(70000, 'r'), "r"));
        ExpectError(FCIERR_READ_SRC, EIO);
        FCIDestroy(h);
        caller.failReadAfter = -1;
    }
    {
        HFCI h = Create();
        caller.refuseTempName = true;
        EXPECT_FALSE(Add(h, QByteArray(40000, 't'), "t"));
        ExpectError(FCIERR_TEMP_FILE, 0);
        FCIDestroy(h);
        caller.refuseTempName = false;
    }
    {
        HFCI h = Create();
        QFile::remove(dir.path("t.cab"));
        caller.statusCount = 0;
        caller.statusAbortAt = 1;  // the second notification: the partial block at the flush
        ASSERT_TRUE(Add(h, QByteArray(40000, 's'), "s"));
        EXPECT_FALSE(Flush(h));
        ExpectError(FCIERR_USER_ABORT, 0);
        FCIDestroy(h);
        EXPECT_FALSE(QFile::exists(dir.path("t.cab")));
    }
    EXPECT_EQ(caller.liveBlocks, 0);
}

TEST_F(Fci, CabinetThatCannotBeWrittenIsRemoved)
{
    // A folder in place of the cabinet's name: the open fails, and nothing is left.
    dir.mkdir("t.cab");
    HFCI h = Create();
    ASSERT_TRUE(Add(h, "data", "d"));
    EXPECT_FALSE(Flush(h));
    ExpectError(FCIERR_CAB_FILE, EISDIR);
    FCIDestroy(h);
}

TEST_F(Fci, AllocationFailureIsReported)
{
    caller.liveBlocks = 0;
    ERF erf{};
    CCAB ccab{};
    const auto failing = [](ULONG) -> void* { return nullptr; };
    EXPECT_FALSE(FCICreate(&erf, Placed, failing, FciFree, FciOpen, Read, FciWrite, Close, FciSeek, FciDelete, GetTemp,
                           &ccab, &caller));
    EXPECT_EQ(erf.erfOper, UINT(FCIERR_ALLOC_FAIL));
    EXPECT_TRUE(erf.fError);
}

// The compression threads of the cabinets made while it lives; one per processor again afterwards.
class CompressionThreads {
public:
    explicit CompressionThreads(unsigned count) { fci::SetCompressionThreads(count); }
    ~CompressionThreads() { fci::SetCompressionThreads(0); }
    CompressionThreads(const CompressionThreads&) = delete;
    CompressionThreads& operator=(const CompressionThreads&) = delete;
};

QByteArray Text(qsizetype size)
{
    QByteArray text;
    for (int line = 0; text.size() < size; ++line)
        text += "entry " + QByteArray::number(line * 7919 % 10007) + " of the setup log: copied, registered\r\n";
    return text.left(size);
}

QByteArray Noise(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char& c : bytes)
        c = char(random.generate());
    return bytes;
}

// What "seq FIRST LAST" prints: blocks of literals alone, which zlib makes again.
QByteArray Numbers(int first, int last)
{
    QByteArray text;
    for (int n = first; n <= last; ++n)
        text += QByteArray::number(n) + '\n';
    return text;
}

struct Layout {
    const char* name;
    ULONG cabinetSize;
    ULONG folderSize;
    UINT reserveHeader, reserveFolder, reserveData;
};

struct WrittenSet {
    std::vector<std::string> events;
    std::map<QString, QByteArray> cabinets;
};

WrittenSet WriteSet(const Layout& layout, unsigned threads)
{
    const CompressionThreads count(threads);
    pwtest::TempDir dir;
    Caller caller;
    caller.ccab.cbFolderThresh = layout.folderSize;
    caller.ccab.cbReserveCFHeader = layout.reserveHeader;
    caller.ccab.cbReserveCFFolder = layout.reserveFolder;
    caller.ccab.cbReserveCFData = layout.reserveData;
    HFCI h = CreateIn(caller, dir.path(), layout.cabinetSize);
    // A stored file between compressed ones starts a folder each time; the small files share blocks.
    const std::pair<QByteArray, TCOMP> sources[] = {
        {Text(400000), tcompTYPE_MSZIP},      {Noise(150000, 1), tcompTYPE_MSZIP},
        {Numbers(1, 30000), tcompTYPE_MSZIP}, {Text(70000), tcompTYPE_NONE},
        {"", tcompTYPE_MSZIP},                {Text(250001), tcompTYPE_MSZIP},
    };
    int n = 0;
    for (const auto& [data, type] : sources)
        EXPECT_TRUE(AddSource(caller, h, data, ("f" + std::to_string(n++)).c_str(), type));
    for (int i = 0; i < 150; ++i)
        EXPECT_TRUE(AddSource(caller, h, Text(i * 37 % 3000), ("small" + std::to_string(i)).c_str(), tcompTYPE_MSZIP));
    EXPECT_TRUE(FCIFlushCabinet(h, 0, NextCab, Status));
    EXPECT_TRUE(FCIDestroy(h));
    EXPECT_EQ(caller.liveBlocks, 0);
    WrittenSet written{caller.events, {}};
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        written.cabinets[name] = pwtest::ReadAll(dir.path(name));
    return written;
}

TEST(FciThreads, AnyNumberOfThreadsWritesTheCabinetsAndNotificationsOfOne)
{
    const Layout layouts[] = {
        {"one cabinet", 0, 0, 0, 0, 0},
        {"a set, blocks split between its cabinets", 150000, 0, 0, 0, 0},
        {"folders closed at their threshold", 0, 60000, 0, 0, 0},
        {"a set with reserve areas", 90000, 200000, 11, 3, 7},
    };
    for (const Layout& layout : layouts) {
        const WrittenSet one = WriteSet(layout, 1);
        ASSERT_FALSE(one.cabinets.empty()) << layout.name;
        EXPECT_EQ(one.cabinets.size() > 1, layout.cabinetSize != 0) << layout.name;
        for (const unsigned threads : {2u, 3u, 8u}) {
            const WrittenSet many = WriteSet(layout, threads);
            EXPECT_EQ(many.events, one.events) << layout.name << ", " << threads << " threads";
            EXPECT_TRUE(many.cabinets == one.cabinets) << layout.name << ", " << threads << " threads";
        }
    }
}

TEST(FciThreads, AStopOrAFailedReadWhileBlocksAreCompressedLeavesNothingBehind)
{
    const CompressionThreads count(4);
    {
        pwtest::TempDir dir;
        Caller caller;
        caller.statusAbortAt = 5;
        HFCI h = CreateIn(caller, dir.path(), 0);
        // Whichever call meets the stop fails; nothing after it is notified.
        EXPECT_FALSE(AddSource(caller, h, Text(3000000), "big", tcompTYPE_MSZIP) &&
                     FCIFlushCabinet(h, 0, NextCab, Status));
        EXPECT_EQ(caller.erf.erfOper, UINT(FCIERR_USER_ABORT));
        EXPECT_EQ(caller.statusCount, 6);
        EXPECT_TRUE(FCIDestroy(h));
        EXPECT_EQ(caller.liveBlocks, 0);
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
    {
        pwtest::TempDir dir;
        Caller caller;
        caller.failReadAfter = 40;
        HFCI h = CreateIn(caller, dir.path(), 0);
        EXPECT_FALSE(AddSource(caller, h, Text(3000000), "big", tcompTYPE_MSZIP));
        EXPECT_EQ(caller.erf.erfOper, UINT(FCIERR_READ_SRC));
        EXPECT_EQ(caller.erf.erfType, UINT(EIO));
        EXPECT_TRUE(FCIDestroy(h));
        EXPECT_EQ(caller.liveBlocks, 0);
    }
}

}  // namespace
