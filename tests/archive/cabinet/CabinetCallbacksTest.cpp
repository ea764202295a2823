// The file callbacks handed to the Cabinet API, and the binding of the library.
#include "archive/cabinet/CabinetCallbacks.h"
#include "archive/cabinet/CabinetLibrary.h"
#include "platform/Errors.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <utime.h>

namespace {

using namespace pw;

INT_PTR Open(const QString& path, int flags, int* err)
{
    QByteArray name = QFile::encodeName(path);
    return FciOpen(name.data(), flags, _S_IREAD | _S_IWRITE, err, nullptr);
}

LONG Position(INT_PTR fd)
{
    int err = 0;
    return FciSeek(fd, 0, 1, &err, nullptr);
}

TEST(CabinetCallbacks, OpenFlagsMapToTheHostsCreateModes)
{
    pwtest::TempDir dir;
    const QString existing = dir.write("existing", "12345");
    int err = 0;

    EXPECT_EQ(Open(existing, _O_RDWR | _O_CREAT | _O_EXCL, &err), -1) << "create-new fails on an existing file";
    EXPECT_EQ(err, EEXIST);

    err = 0;
    EXPECT_EQ(Open(dir.path("missing"), _O_RDONLY, &err), -1);
    EXPECT_EQ(err, ENOENT);
    EXPECT_EQ(Open(dir.path("missing"), _O_WRONLY | _O_TRUNC, &err), -1) << "truncate needs an existing file";

    INT_PTR fd = Open(existing, _O_WRONLY | _O_CREAT, &err);  // open always: content kept
    ASSERT_NE(fd, -1);
    FciClose(fd, &err, nullptr);
    EXPECT_EQ(pwtest::ReadAll(existing), "12345");

    fd = Open(existing, _O_RDWR | _O_APPEND, &err);
    ASSERT_NE(fd, -1);
    EXPECT_EQ(Position(fd), 5) << "append starts at the end";
    FciClose(fd, &err, nullptr);

    fd = Open(existing, _O_RDWR | _O_CREAT | _O_TRUNC, &err);  // create always: replaced
    ASSERT_NE(fd, -1);
    FciClose(fd, &err, nullptr);
    EXPECT_EQ(pwtest::ReadAll(existing), "");

    fd = Open(dir.path("temporary"), _O_RDWR | _O_CREAT | _O_TEMPORARY, &err);
    ASSERT_NE(fd, -1);
    char data[] = "abc";
    EXPECT_EQ(FciWrite(fd, data, 3, &err, nullptr), 3u);
    EXPECT_EQ(FciSeek(fd, 0, 0, &err, nullptr), 0);
    char back[3] = {};
    EXPECT_EQ(FciRead(fd, back, 3, &err, nullptr), 3u) << "still readable while open";
    FciClose(fd, &err, nullptr);
    EXPECT_FALSE(QFile::exists(dir.path("temporary"))) << "deleted on close";
}

TEST(CabinetCallbacks, AppendThatCannotSeekClosesAndFails)
{
    pwtest::TempDir dir;
    const QByteArray fifo = QFile::encodeName(dir.path("fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    int err = 0;
    EXPECT_EQ(Open(dir.path("fifo"), _O_RDWR | _O_APPEND, &err), -1);
    EXPECT_EQ(err, ESPIPE);
}

TEST(CabinetCallbacks, OpenInfoReportsMaskedAttributesAndLocalDosTime)
{
    pwtest::TempDir dir;
    const QString path = dir.write(".hidden-readonly", "content");
    std::tm local{};
    local.tm_year = 2024 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 2;
    local.tm_hour = 3;
    local.tm_min = 4;
    local.tm_sec = 6;
    local.tm_isdst = -1;
    const std::time_t moment = std::mktime(&local);
    const QByteArray name = QFile::encodeName(path);
    const utimbuf times{moment, moment};
    ASSERT_EQ(::utime(name.constData(), &times), 0);
    ASSERT_EQ(::chmod(name.constData(), 0444), 0);

    USHORT date = 0, time = 0, attributes = 0xFFFF;
    int err = 0;
    QByteArray source = name;
    const INT_PTR fd = FciGetOpenInfo(source.data(), &date, &time, &attributes, &err, nullptr);
    ASSERT_NE(fd, -1);
    EXPECT_EQ(date, 0x5822);
    EXPECT_EQ(time, 0x1883);
    EXPECT_EQ(attributes, 0x01 | 0x02 | 0x20);
    char back[16] = {};
    EXPECT_EQ(FciRead(fd, back, sizeof back, &err, nullptr), 7u);
    FciClose(fd, &err, nullptr);

    QByteArray folder = QFile::encodeName(dir.path());
    EXPECT_EQ(FciGetOpenInfo(folder.data(), &date, &time, &attributes, &err, nullptr), -1);
    EXPECT_EQ(err, EISDIR);
    QByteArray missing = QFile::encodeName(dir.path("missing"));
    EXPECT_EQ(FciGetOpenInfo(missing.data(), &date, &time, &attributes, &err, nullptr), -1);
    EXPECT_EQ(err, ENOENT);
}

TEST(CabinetCallbacks, DosTimeIsHeldToTheFormatsYears)
{
    USHORT date = 0, time = 0;
    RecordedDosDateTime(0, &date, &time);  // 1970 cannot be written
    EXPECT_EQ(date, (1 << 5) | 1);
    EXPECT_EQ(time, 0);
}

TEST(CabinetCallbacks, TemporaryNameIsUniqueAndLeftFree)
{
    char first[256];
    char second[256];
    ASSERT_TRUE(FciGetTempFile(first, sizeof first, nullptr));
    ASSERT_TRUE(FciGetTempFile(second, sizeof second, nullptr));
    EXPECT_STRNE(first, second);
    const QString name = QFile::decodeName(first);
    EXPECT_TRUE(name.startsWith(QDir::tempPath() + QStringLiteral("/stc"))) << name.toStdString();
    EXPECT_FALSE(QFile::exists(name)) << "the caller creates it exclusively";
    char tiny[8];
    EXPECT_FALSE(FciGetTempFile(tiny, sizeof tiny, nullptr));
}

// A library that fails to load, or lacks one entry point, the number of times it is asked to.
class FlakyCabinet : public CabinetModuleSource {
public:
    int loadFailures = 0;
    const char* missing = nullptr;
    int loads = 0;
    int unloads = 0;

    void* Load(int* error) override
    {
        ++loads;
        if (loadFailures > 0) {
            --loadFailures;
            *error = ENOENT;
            return nullptr;
        }
        return this;
    }
    void* Find(void*, const char* name, int* error) override
    {
        if (missing && std::strcmp(name, missing) == 0) {
            missing = nullptr;
            *error = ENOSYS;
            return nullptr;
        }
        return fci::FindExport(name);
    }
    void Unload(void*) override { ++unloads; }
};

HFCI CreateWith(ERF* erf, CCAB* ccab)
{
    const auto placed = [](PCCAB, char*, LONG, BOOL, void*) { return 0; };
    return CabinetLibrary::FCICreate(erf, placed, FciAlloc, FciFree, FciOpen, FciRead, FciWrite, FciClose, FciSeek,
                                     FciDelete, FciGetTempFile, ccab, nullptr);
}

TEST(CabinetLibraryBinding, FailedBindingIsRetriedInFull)
{
    FlakyCabinet library;
    library.loadFailures = 1;
    library.missing = "FDICopy";
    CabinetLibrary::UseModuleSource(&library);
    ERF erf{};
    CCAB ccab{};
    try {
        CreateWith(&erf, &ccab);
        FAIL() << "a library that cannot be loaded binds nothing";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().contains(SystemErrorText(ENOENT)));
    }
    EXPECT_FALSE(CabinetLibrary::IsBound());
    EXPECT_THROW(CreateWith(&erf, &ccab), UserError) << "an entry point is missing";
    EXPECT_FALSE(CabinetLibrary::IsBound());
    EXPECT_EQ(library.unloads, 1) << "the library without it is let go";

    HFCI h = CreateWith(&erf, &ccab);
    EXPECT_TRUE(CabinetLibrary::IsBound());
    EXPECT_EQ(library.loads, 3) << "each attempt starts again from the load";
    ASSERT_TRUE(h);
    EXPECT_TRUE(CabinetLibrary::FCIDestroy(h));
    CabinetLibrary::UseModuleSource(nullptr);
    EXPECT_EQ(library.unloads, 2);
}

}  // namespace
