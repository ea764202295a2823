#include "archive/cabinet/TSTCabWriter.h"

#include "CabinetDecoders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pw;
using pwtest::FileTree;

TEST(CabWriter, Smoke)
{
    PW_SKIP_WITHOUT_DECODERS();
    pwtest::TempDir dir;
    FileTree tree{{"a.txt", "hello"}, {"sub/b.txt", QByteArray(100000, 'x')}, {"empty", ""}};
    for (auto it = tree.begin(); it != tree.end(); ++it)
        dir.write("src/" + it.key(), it.value());
    TSTCabWriter w;
    w.SetCompressionType(TSTCabCompressionType::cctMsZip);
    w.OpenCabinet(dir.path("out/x.cab"));
    w.AddFiles(dir.path("src/*"), "", true);
    w.CloseCabinet(true);
    EXPECT_TRUE(pwtest::DecodersExtract(dir.path("out/x.cab"), tree, dir.path("scratch")));
    qDebug() << pwtest::ListedNames(dir.path("out/x.cab"));
}
