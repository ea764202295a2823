// Where the built module's image ends: the block the build appends starts there.
#include "Image.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

uint64_t ImageEnd(const QByteArray& file, uint64_t fileSize)
{
    uint64_t end = 0;
    const auto* head = reinterpret_cast<const uint8_t*>(file.constData());
    return SfxImage_End(head, std::min<size_t>(file.size(), SFX_IMAGE_HEAD_SIZE), fileSize, &end) ? end : 0;
}

QByteArray Module(const char* path)
{
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SfxImage, TheBuiltModulesEndWhereTheirFilesEnd)
{
    for (const char* path : {PW_SFX_MODULE_I686, PW_SFX_MODULE_X86_64}) {
        const QByteArray module = Module(path);
        ASSERT_FALSE(module.isEmpty()) << path;
        EXPECT_EQ(ImageEnd(module, module.size()), uint64_t(module.size())) << path;
        EXPECT_EQ(ImageEnd(module, module.size() + 1000), uint64_t(module.size())) << path;
    }
}

TEST(SfxImage, DamagedHeadersOrATruncatedFileAreRefused)
{
    const QByteArray module = Module(PW_SFX_MODULE_I686);
    ASSERT_FALSE(module.isEmpty());
    EXPECT_EQ(ImageEnd(module, module.size() - 1), 0u);
    EXPECT_EQ(ImageEnd(QByteArray("MZ"), 2), 0u);
    QByteArray noMz = module;
    noMz[0] = 'X';
    EXPECT_EQ(ImageEnd(noMz, noMz.size()), 0u);
    QByteArray farHeader = module;
    farHeader[0x3D] = char(0x7F);  // the PE header's offset points past the head
    EXPECT_EQ(ImageEnd(farHeader, farHeader.size()), 0u);
    QByteArray noSections = module;
    const int pe = uint8_t(module[0x3C]) | uint8_t(module[0x3D]) << 8;
    noSections[pe + 6] = noSections[pe + 7] = 0;
    EXPECT_EQ(ImageEnd(noSections, noSections.size()), 0u);
}

}  // namespace
