// A self-extractor damaged on its way to the machine (a flipped byte, a cut-off download) must run nothing,
// end with a code that is not 0, remove what it extracted, and leave a log in %TEMP% for whoever debugs an
// unattended install.
#include "AddonFixture.h"

#include <QFile>
#include <QFileInfo>

#include <functional>
#include <iostream>
#include <tuple>

using namespace pwtest;

namespace {

// Where the pieces of a self-extractor lie: the module, then the configuration block up to and including its
// end marker, then the archive.
struct Layout {
    qsizetype blockStart = -1;
    qsizetype archiveStart = -1;
    qsizetype size = 0;
};

// The module is the one of the test AppDir; its own code may hold the markers it looks for.
Layout Locate(const QByteArray& installer, Arch arch)
{
    static const QByteArray begin = ";!@Install@!UTF-8!";
    static const QByteArray end = ";!@InstallEnd@!";
    Layout layout;
    layout.size = installer.size();
    const qsizetype moduleSize = QFileInfo(AppDirFile(QStringLiteral("7zS.sfx"), arch)).size();
    if (installer.mid(moduleSize, begin.size()) != begin)
        return layout;
    layout.blockStart = moduleSize;
    const qsizetype endMarker = installer.indexOf(end, moduleSize);
    if (endMarker >= 0)
        layout.archiveStart = endMarker + end.size();
    return layout;
}

struct Damage {
    const char* name;
    int level;
    std::function<void(QByteArray&, const Layout&)> apply;
    // Whether the whole configuration block, with its GUIMode="2", is still there to be read.
    bool blockReadable = true;
};

void PrintTo(const Damage& damage, std::ostream* os)
{
    *os << damage.name << " at level " << damage.level;
}

void Flip(QByteArray& bytes, qsizetype at)
{
    bytes[at] = static_cast<char>(bytes[at] ^ 0x10);
}

class DamagedAddon : public AddonFixture, public ::testing::WithParamInterface<std::tuple<Damage, Arch>> {
protected:
    DamagedAddon() : AddonFixture(std::get<Arch>(GetParam())) {}
    const Damage& Damaged() const { return std::get<Damage>(GetParam()); }
};

TEST_P(DamagedAddon, RunsNothingAndLeavesItsLog)
{
    Prepare(StartKind::Exe, QStringLiteral("damaged_%1_%2").arg(QString::fromLatin1(Damaged().name),
                                                                 QString::fromLatin1(ArchName(arch_))));
    Unpacked addon = BuildAndUnpack({QStringLiteral("--level"), QString::number(Damaged().level)});
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();

    QFile installer(addon.svcpack + QLatin1Char('/') + addon.addProgram);
    ASSERT_TRUE(installer.open(QIODevice::ReadWrite)) << addon.addProgram.toStdString();
    QByteArray bytes = installer.readAll();
    const Layout layout = Locate(bytes, arch_);
    ASSERT_GT(layout.blockStart, 0);
    ASSERT_GT(layout.archiveStart, layout.blockStart);
    Damaged().apply(bytes, layout);
    installer.resize(0);
    installer.seek(0);
    installer.write(bytes);
    installer.close();

    // GUIMode="2" promises no window at all: any box is answered, and reported. Without the block the module
    // cannot know it is unattended; it may then say what is wrong, in a box that closes itself: nobody
    // answers it, and the run must end all the same.
    const bool silent = Damaged().blockReadable;
    const SetupRun run = Run(addon, silent ? MessageBoxes::Answered : MessageBoxes::Wait);
    ASSERT_TRUE(run.ran) << run.output.toStdString();
    EXPECT_EQ(run.closedMessages, QStringList()) << "a window although the block asks for none";
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(Recorded(QStringLiteral("runs.txt")), QStringList()) << "the start file ran";
    EXPECT_EQ(SubFolders(temp_), QStringList()) << "left in the temporary folder";
    const std::string log = TemporaryFiles();
    EXPECT_FALSE(log.empty()) << "no log in the temporary folder";
    if (::testing::Test::HasFailure())
        std::cout << "Temporary folder:\n" << log << "Output:\n" << run.output.toStdString() << std::endl;
}

// The archive's middle lies in the packed data of the largest file, which only its checksum protects at level
// 0 (stored) and which the decoder must catch at level 2.
const Damage kDamages[] = {
    {"flipped_start_header", 2, [](QByteArray& b, const Layout& l) { Flip(b, l.archiveStart + 13); }},
    {"flipped_packed_data", 2, [](QByteArray& b, const Layout& l) { Flip(b, (l.archiveStart + l.size) / 2); }},
    {"flipped_stored_data", 0, [](QByteArray& b, const Layout& l) { Flip(b, (l.archiveStart + l.size) / 2); }},
    {"flipped_header", 2, [](QByteArray& b, const Layout& l) { Flip(b, l.size - 20); }},
    {"cut_in_the_archive", 2, [](QByteArray& b, const Layout& l) { b.truncate((l.archiveStart + l.size) / 2); }},
    {"cut_by_one_byte", 2, [](QByteArray& b, const Layout&) { b.chop(1); }},
    {"cut_after_the_block", 2, [](QByteArray& b, const Layout& l) { b.truncate(l.archiveStart); }},
    {"cut_in_the_block", 2, [](QByteArray& b, const Layout& l) { b.truncate(l.blockStart + 30); }, false},
};

INSTANTIATE_TEST_SUITE_P(Addon, DamagedAddon,
                         ::testing::Combine(::testing::ValuesIn(kDamages), ::testing::Values(Arch::X86_64, Arch::I686)),
                         [](const ::testing::TestParamInfo<std::tuple<Damage, Arch>>& info) {
                             return std::string(std::get<Damage>(info.param).name) + "_" +
                                    ArchName(std::get<Arch>(info.param));
                         });

}  // namespace
