// Recognising reads a bounded part of a start file whatever its size: huge sparse files, whose reading
// whole would take minutes, are recognised from a few hundred kilobytes.
#include "InstallerFixtures.h"

#include "project/installer/RecogniseInstaller.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using pw::InstallerKind;

// Counts the bytes asked of a file.
class CountingSource : public pw::ByteSource {
public:
    explicit CountingSource(const QString& path) : file_(path) {}
    uint64_t Size() const override { return file_.Size(); }
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override
    {
        bytesRead += out.size();
        return file_.ReadAt(offset, out);
    }
    uint64_t bytesRead = 0;

private:
    pw::FileByteSource file_;
};

constexpr qint64 kHuge = qint64(6) << 30;
constexpr uint64_t kMostRead = 2u << 20;

// `bytes` at the start of a sparse file of kHuge bytes.
QString SparseFile(const pwtest::TempDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.write(name, bytes);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite) && file.resize(kHuge));
    return path;
}

TEST(BoundedRead, HugeInstallersAreRecognisedFromTheirStart)
{
    pwtest::TempDir dir;
    const QByteArray nsis = pwtest::ReadAll(pwtest::MakeNsisInstaller(dir, QStringLiteral("x86-unicode")));
    const struct {
        const char* name;
        QByteArray start;
        InstallerKind kind;
    } cases[] = {
        {"nsis.exe", nsis, InstallerKind::Nsis},
        {"plain.exe", pwtest::Stub(QStringLiteral("Plain")), InstallerKind::Unknown},
        {"wise.exe", pwtest::Stub(QStringLiteral("Wise")), InstallerKind::Wise},
        {"zeros.exe", QByteArray(), InstallerKind::Unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CountingSource source(SparseFile(dir, QLatin1String(c.name), c.start));
        ASSERT_EQ(source.Size(), uint64_t(kHuge));
        EXPECT_EQ(pw::RecogniseInstaller(source, QLatin1String(c.name)), c.kind);
        EXPECT_LT(source.bytesRead, kMostRead);
    }
}

// An image that claims sections far beyond the file's end is not read there.
TEST(BoundedRead, ImageClaimingHugeSectionsIsUnknown)
{
    pwtest::TempDir dir;
    QByteArray stub = pwtest::Stub(QStringLiteral("Plain"));
    const qsizetype table = stub.indexOf(".text");
    ASSERT_GT(table, 0);
    // The first section's raw size (offset 16 in its header) becomes 3 GiB.
    stub.replace(table + 16, 4, QByteArray("\x00\x00\x00\xC0", 4));
    CountingSource source(dir.write(QStringLiteral("setup.exe"), stub));
    EXPECT_EQ(pw::RecogniseInstaller(source, QStringLiteral("setup.exe")), InstallerKind::Unknown);
    EXPECT_LT(source.bytesRead, kMostRead);
}

}  // namespace
