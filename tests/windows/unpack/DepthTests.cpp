// A tree thousands of folders deep, as Windows' "\\?\" paths allow: every folder is made once, not once for
// every item below it, which made a deep tree take minutes.
#include "UnpackTools.h"

#include "support/TempDir.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

int gMkdirCalls = -1;  // counted while not negative

}  // namespace

// The extractor's calls come here first (the test program's own definition wins over the C library's).
extern "C" int mkdir(const char* path, mode_t mode)
{
    if (gMkdirCalls >= 0)
        ++gMkdirCalls;
    return int(syscall(SYS_mkdirat, AT_FDCWD, path, mode));
}

namespace {

using namespace pwtest;

TEST(UnpackDepth, ATreeThousandsOfFoldersDeepIsMadeOneFolderAtATime)
{
    TempDir dir;
    const QString out = dir.path(QStringLiteral("out"));
    // As deep as a Linux path allows under this scratch folder: every folder named "d", each listed as an
    // item of its own, the way 7-Zip lists them, and a file in each.
    const int depth = int(4000 - out.size()) / 2;
    ASSERT_GT(depth, 1500);
    std::vector<HandItem> items;
    QString folder, lastFile;
    for (int level = 0; level < depth; ++level) {
        folder += level ? QStringLiteral("/d") : QStringLiteral("d");
        HandItem item{folder};
        item.directory = true;
        item.modified = 133000000000000000ull;
        items.push_back(item);
        if (level % 100 == 0) {
            lastFile = folder + QStringLiteral("/f");
            items.push_back(HandItem{lastFile, lastFile.toUtf8().right(20)});
        }
    }
    QFile archive(dir.path(QStringLiteral("deep.7z")));
    ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
    archive.write(HandMadeArchive(items));
    archive.close();

    gMkdirCalls = 0;
    const Extraction extraction = ExtractFile(archive.fileName(), out);
    const int calls = gMkdirCalls;
    gMkdirCalls = -1;
    ASSERT_EQ(extraction.result, UNPACK_OK) << extraction.message.toStdString();
    EXPECT_LE(calls, depth + 1);  // the output folder, then each folder of the tree once
    EXPECT_TRUE(QFileInfo(out + QLatin1Char('/') + folder).isDir());
    EXPECT_EQ(ReadAll(out + QLatin1Char('/') + lastFile), lastFile.toUtf8().right(20));
    EXPECT_EQ(QFileInfo(out + QLatin1Char('/') + folder).lastModified().toMSecsSinceEpoch(), 1655526400000);
}

}  // namespace
