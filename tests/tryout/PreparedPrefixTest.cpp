// The prepared prefix with a stand-in for wineboot: made once, copied for real, made again for another
// Wine version, and never taken from a making that did not end.
#include "support/TempDir.h"
#include "tryout/PreparedPrefix.h"
#include "tryout/TryUi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <atomic>
#include <sys/stat.h>
#include <thread>

using namespace pwtest;

namespace {

class QuietUi : public pw::TryUi {
public:
    void setStatus(const QString&) override {}
};

// Writes prefix/system.reg and counts the makings; `end` other than Finished leaves them half done.
struct FakeWineboot {
    std::atomic<int> made{0};
    pw::RunEnd end = pw::RunEnd::Finished;

    pw::PreparedPrefix::Maker maker()
    {
        return [this](const QString& root, QString*) {
            ++made;
            QDir().mkpath(root + QStringLiteral("/prefix/drive_c"));
            QFile file(root + QStringLiteral("/prefix/system.reg"));
            file.open(QIODevice::WriteOnly);
            file.write("made\n");
            return end;
        };
    }
};

ino_t Inode(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

pw::RunEnd Copy(const QString& cache, const QString& version, FakeWineboot& wineboot, const QString& to)
{
    QuietUi ui;
    QString error;
    return pw::PreparedPrefix(cache, version, QStringLiteral("win64-winxp")).CopyTo(to, wineboot.maker(), ui, &error);
}

TEST(PreparedPrefix, MadeOnceAndCopiedForEachTry)
{
    TempDir dir;
    FakeWineboot wineboot;
    ASSERT_EQ(Copy(dir.path("cache"), "wine_8.0", wineboot, dir.path("try1")), pw::RunEnd::Finished);
    ASSERT_EQ(Copy(dir.path("cache"), "wine_8.0", wineboot, dir.path("try2")), pw::RunEnd::Finished);
    EXPECT_EQ(wineboot.made, 1);
    const QString prepared = dir.path("cache/wine_8.0-win64-winxp/system.reg");
    // A copy, not links: what a try writes reaches neither the prepared prefix nor another try.
    EXPECT_NE(Inode(dir.path("try1/system.reg")), Inode(prepared));
    EXPECT_NE(Inode(dir.path("try1/system.reg")), Inode(dir.path("try2/system.reg")));
    dir.write("try1/system.reg", "changed by the try\n");
    EXPECT_EQ(ReadAll(prepared), "made\n");
    EXPECT_EQ(ReadAll(dir.path("try2/system.reg")), "made\n");
}

TEST(PreparedPrefix, TriesStartedTogetherMakeItOnce)
{
    TempDir dir;
    FakeWineboot wineboot;
    std::thread other([&] { Copy(dir.path("cache"), "wine_8.0", wineboot, dir.path("try1")); });
    Copy(dir.path("cache"), "wine_8.0", wineboot, dir.path("try2"));
    other.join();
    EXPECT_EQ(wineboot.made, 1);
    EXPECT_TRUE(QFileInfo::exists(dir.path("try1/system.reg")));
    EXPECT_TRUE(QFileInfo::exists(dir.path("try2/system.reg")));
}

TEST(PreparedPrefix, AnotherWineVersionMakesItAgain)
{
    TempDir dir;
    FakeWineboot wineboot;
    Copy(dir.path("cache"), "wine_8.0", wineboot, dir.path("try1"));
    ASSERT_EQ(Copy(dir.path("cache"), "wine_9.0", wineboot, dir.path("try2")), pw::RunEnd::Finished);
    EXPECT_EQ(wineboot.made, 2);
    EXPECT_EQ(QDir(dir.path("cache")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("wine_9.0-win64-winxp")});
}

TEST(PreparedPrefix, InterruptedMakingLeavesNothingUsed)
{
    TempDir dir;
    FakeWineboot wineboot;
    wineboot.end = pw::RunEnd::Cancelled;
    EXPECT_EQ(Copy(dir.path("cache"), "wine_8.0", wineboot, dir.path("try1")), pw::RunEnd::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(dir.path("try1")));
    // A making killed outright leaves its folder under its temporary name: the next try removes it and
    // makes the prefix anew.
    dir.write("cache/wine_8.0-win64-winxp.making-AbC123/prefix/system.reg", "half\n");
    wineboot.end = pw::RunEnd::Finished;
    ASSERT_EQ(Copy(dir.path("cache"), "wine_8.0", wineboot, dir.path("try2")), pw::RunEnd::Finished);
    EXPECT_EQ(wineboot.made, 2);
    EXPECT_EQ(ReadAll(dir.path("try2/system.reg")), "made\n");
    EXPECT_EQ(QDir(dir.path("cache")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("wine_8.0-win64-winxp")});
}

}  // namespace
