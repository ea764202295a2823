#include "archive/cabinet/TSTCabWriter.h"

#include "CabinetDecoders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>

using namespace pw;
using pwtest::FileTree;

TEST(CabWriter, EmptyOnly)
{
    pwtest::TempDir dir;
    FileTree tree{{"e1", ""}, {"e2", ""}};
    for (auto it = tree.begin(); it != tree.end(); ++it)
        dir.write("src/" + it.key(), it.value());
    TSTCabWriter w;
    w.SetCompressionType(TSTCabCompressionType::cctMsZip);
    w.OpenCabinet(dir.path("out/x.cab"));
    w.AddFiles(dir.path("src/*"), "", true);
    w.CloseCabinet(true);
    EXPECT_TRUE(pwtest::DecodersExtract(dir.path("out/x.cab"), tree, dir.path("scratch")));
}

TEST(CabWriter, CountSet)
{
    pwtest::TempDir dir;
    FileTree tree;
    for (int i = 0; i < 5; ++i) tree.insert(QString("f%1").arg(i), QByteArray(50000 + i, 'a' + i));
    for (auto it = tree.begin(); it != tree.end(); ++it)
        dir.write("src/" + it.key(), it.value());
    TSTCabWriter w;
    w.CabinetFileCountThreshold = 2;
    w.SetCompressionType(TSTCabCompressionType::cctMsZip);
    w.OpenCabinet(dir.path("out/x.cab"));
    for (int i = 0; i < 5; ++i) w.AddFile(dir.path(QString("src/f%1").arg(i)), QString("f%1").arg(i), false);
    w.CloseCabinet(true);
    system(("ls -la " + dir.path("out")).toUtf8());
    EXPECT_TRUE(pwtest::DecodersExtract(dir.path("out/x.cab"), tree, dir.path("scratch"), {pwtest::Decoder::Cabextract}));
    for (QString c : {"x.cab", "x1.cab", "x2.cab"}) {
      FileTree part;
      EXPECT_TRUE(pwtest::DecodersExtract(dir.path("out/" + c), part, dir.path("scratch"), {pwtest::Decoder::Gcab, pwtest::Decoder::SevenZip, pwtest::Decoder::Bsdtar}));
    }
}

TEST(CabWriter, SizeSet)
{
    pwtest::TempDir dir;
    FileTree tree;
    for (int i = 0; i < 5; ++i) {
        QByteArray b(150000 + i * 7, 0);
        for (auto& c : b) c = char(QRandomGenerator::global()->generate());
        tree.insert(QString("f%1").arg(i), b);
    }
    tree.insert("z", "");
    for (auto it = tree.begin(); it != tree.end(); ++it)
        dir.write("src/" + it.key(), it.value());
    for (auto type : {TSTCabCompressionType::cctNone, TSTCabCompressionType::cctMsZip}) {
    TSTCabWriter w;
    w.CabinetSizeThreshold = 100000;
    w.SetCompressionType(type);
    w.OnFilePlaced = [](TSTCabWriter&, const TCCAB& c, const QString& n, qint32 s, bool cont, bool&) { qDebug() << c.szCab << n << s << cont; };
    w.OpenCabinet(dir.path("out/x.cab"));
    w.AddFiles(dir.path("src/*"), "", true);
    w.CloseCabinet(true);
    system(("ls -la " + dir.path("out")).toUtf8());
    EXPECT_TRUE(pwtest::DecodersExtract(dir.path("out/x.cab"), tree, dir.path("scratch"), {pwtest::Decoder::Cabextract, pwtest::Decoder::SevenZip}));
    }
}
