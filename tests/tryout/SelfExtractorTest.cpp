// How the try reads the programs an add-on runs: a PE file's machine, and one of our self-extractors
// taken apart into module, block and archive and joined again with another module.
#include "tryout/SelfExtractor.h"

#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace pw;
using pwtest::ReadAll;

namespace {

// A DOS header whose e_lfanew points at `offset`, and there "PE\0\0" and `machine`.
QByteArray PeHeader(quint16 machine, int offset = 0x80)
{
    QByteArray bytes(offset + 24, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3c] = char(offset & 0xff);
    bytes[0x3d] = char(offset >> 8);
    bytes.replace(offset, 4, QByteArray("PE\0\0", 4));
    bytes[offset + 4] = char(machine & 0xff);
    bytes[offset + 5] = char(machine >> 8);
    return bytes;
}

TEST(SelfExtractor, MachineOfPeFilesAndNoneOfOthers)
{
    pwtest::TempDir dir;
    EXPECT_EQ(PeMachine(dir.write(QStringLiteral("x86.exe"), PeHeader(0x14c))), kMachineI386);
    EXPECT_EQ(PeMachine(dir.write(QStringLiteral("x64.exe"), PeHeader(0x8664, 0x100))), 0x8664);
    EXPECT_EQ(PeMachine(dir.write(QStringLiteral("package.msi"), "\xd0\xcf\x11\xe0 not a PE file")), 0);
    EXPECT_EQ(PeMachine(dir.write(QStringLiteral("short.exe"), PeHeader(0x14c).left(0x82))), 0);
    QByteArray wild = PeHeader(0x14c);
    wild[0x3f] = '\x7f';  // e_lfanew far past the end
    EXPECT_EQ(PeMachine(dir.write(QStringLiteral("wild.exe"), wild)), 0);
    EXPECT_EQ(PeMachine(dir.path(QStringLiteral("missing.exe"))), 0);
}

const QByteArray kBlock =
    ";!@Install@!UTF-8!\n\rRunProgram=\"msistub \"my app.msi\" /qb-!\"\n\rGUIMode=\"2\"\n\r"
    ";!@InstallEnd@!";
const QByteArray kArchive = QByteArray("7z\xbc\xaf\x27\x1c", 6) + QByteArray(3000, 'a');

TEST(SelfExtractor, TakenApartAndJoinedWithAnotherModule)
{
    pwtest::TempDir dir;
    const QByteArray module = PeHeader(0x14c) + QByteArray(500, 'm');
    const QString installer = dir.write(QStringLiteral("Setup.exe"), module + kBlock + kArchive);
    const std::optional<SelfExtractorParts> parts = ReadSelfExtractor(installer, module);
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->moduleSize, module.size());
    EXPECT_EQ(parts->block, kBlock);
    EXPECT_EQ(parts->archiveOffset, module.size() + kBlock.size());
    EXPECT_EQ(RunProgram(parts->block), QStringLiteral("msistub \"my app.msi\" /qb-!"));

    const QString archive = dir.path(QStringLiteral("archive.7z"));
    ASSERT_TRUE(CopyTail(installer, parts->archiveOffset, archive));
    EXPECT_EQ(ReadAll(archive), kArchive);
    const QByteArray other = PeHeader(0x8664) + QByteArray(700, 'n');
    ASSERT_TRUE(JoinSelfExtractor(installer, other, parts->block, archive));
    EXPECT_EQ(ReadAll(installer), other + kBlock + kArchive);
    EXPECT_FALSE(CopyTail(installer, 0, archive)) << "an existing file is not written over";
}

TEST(SelfExtractor, OnlyOurModuleFollowedByABlockCounts)
{
    pwtest::TempDir dir;
    const QByteArray module = PeHeader(0x14c) + QByteArray(500, 'm');
    QByteArray otherModule = module;
    otherModule[300] = 'x';
    EXPECT_FALSE(ReadSelfExtractor(dir.write(QStringLiteral("a.exe"), otherModule + kBlock + kArchive), module));
    EXPECT_FALSE(ReadSelfExtractor(dir.write(QStringLiteral("b.exe"), module + kArchive), module));
    EXPECT_FALSE(ReadSelfExtractor(dir.write(QStringLiteral("c.exe"), module + kBlock.left(40)), module));
    EXPECT_FALSE(ReadSelfExtractor(dir.write(QStringLiteral("d.exe"), module.left(100)), module));
    EXPECT_FALSE(ReadSelfExtractor(dir.write(QStringLiteral("e.exe"), module + kBlock), QByteArray()));
    EXPECT_TRUE(RunProgram(";!@Install@!UTF-8!\nGUIMode=\"2\"\n;!@InstallEnd@!").isEmpty());
}

}  // namespace
