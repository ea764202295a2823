// The names a cabinet lists, read from cabinets that gcab makes, and from cut or damaged ones.
#include "InstallerFixtures.h"

#include "project/installer/CabinetNames.h"

#include <gtest/gtest.h>

namespace {

using pw::CabinetFileNames;

std::span<const uint8_t> Span(const QByteArray& bytes)
{
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
}

const QList<QByteArray> kNames = {"update\\update.exe", "update\\update.inf", "readme.txt"};

class CabinetNames : public ::testing::Test {
protected:
    void SetUp() override
    {
        cabinet_ = pwtest::Cabinet(dir_, {{QStringLiteral("update/update.exe"), "MZ"},
                                          {QStringLiteral("update/update.inf"), "[Version]"},
                                          {QStringLiteral("readme.txt"), QByteArray(100000, 'r')}});
    }

    pwtest::TempDir dir_;
    QByteArray cabinet_;
};

TEST_F(CabinetNames, ListsTheNamesInOrderUpToTheLimit)
{
    EXPECT_EQ(CabinetFileNames(Span(cabinet_), 64), kNames);
    EXPECT_EQ(CabinetFileNames(Span(cabinet_), 1), kNames.mid(0, 1));
}

// Cut short, the names that are whole are listed and no byte past the end is read (AddressSanitizer
// watches the copy).
TEST_F(CabinetNames, CutCabinetGivesTheWholeNamesBeforeTheCut)
{
    const qsizetype secondNameEnd = cabinet_.indexOf("update.inf") + qsizetype(strlen("update.inf"));
    for (qsizetype size = 0; size <= secondNameEnd + 1; ++size) {
        const QByteArray cut = cabinet_.left(size);
        const QList<QByteArray> names = CabinetFileNames(Span(cut), 64);
        ASSERT_LE(names.size(), 2) << size;
        EXPECT_EQ(names, kNames.mid(0, names.size())) << size;
    }
    EXPECT_EQ(CabinetFileNames(Span(cabinet_.left(secondNameEnd + 1)), 64), kNames.mid(0, 2));
}

TEST_F(CabinetNames, NothingFromWhatIsNoCabinet)
{
    EXPECT_TRUE(CabinetFileNames(Span("MSCX" + cabinet_.mid(4)), 64).isEmpty());
    QByteArray reservedSet = cabinet_;
    reservedSet[5] = 1;  // reserved1 must be zero
    EXPECT_TRUE(CabinetFileNames(Span(reservedSet), 64).isEmpty());
    // The first entry placed past the end, or a name that never ends, lists nothing.
    QByteArray farEntries = cabinet_;
    farEntries.replace(16, 4, QByteArray("\xF0\xFF\xFF\xFF", 4));
    EXPECT_TRUE(CabinetFileNames(Span(farEntries), 64).isEmpty());
    QByteArray endless = cabinet_.left(cabinet_.indexOf("update\\update.exe")) + QByteArray(400, 'n');
    EXPECT_TRUE(CabinetFileNames(Span(endless), 64).isEmpty());
}

}  // namespace
