// The cabinet format's own arithmetic, against the vectors its documentation gives.
#include "platform/cabinet/CabFormat.h"

#include <QByteArray>

#include <gtest/gtest.h>

using namespace pw;

TEST(CabChecksum, MatchesTheFormatsVectors)
{
    const auto stored = [](const QByteArray& payload) {
        unsigned char sizes[4];
        fci::PutU16(sizes, std::uint16_t(payload.size()));
        fci::PutU16(sizes + 2, std::uint16_t(payload.size()));
        const auto* p = reinterpret_cast<const unsigned char*>(payload.constData());
        return fci::Checksum(sizes, 4, fci::Checksum(p, size_t(payload.size()), 0));
    };
    EXPECT_EQ(stored("abcdefg"), 0x64010401u);  // three bytes left over, first one most significant
    EXPECT_EQ(stored("hello"), 0x6c696502u);
    EXPECT_EQ(stored("Hello, cabinet!\n"), 0x6b145f33u);
}
