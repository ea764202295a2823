// The look at a deflate stream's codes decides which blocks are made again by zlib, so it must walk every
// kind of block to the final one and find the incomplete codes libmspack refuses wherever they are.
#include "platform/cabinet/DeflateCodes.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using pw::fci::CodeShape;
using pw::fci::ShapeOfCodes;

std::string Text(std::size_t size)
{
    std::string text;
    for (unsigned i = 0; text.size() < size; ++i)
        text += "line " + std::to_string(i * 7919 % 1000) + " of the sample text\n";
    text.resize(size);
    return text;
}

// A raw deflate stream of several blocks: dynamic codes, the fixed codes, Huffman codes alone, and the
// empty stored blocks the flushes leave between them.
std::vector<unsigned char> SeveralBlocks()
{
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::vector<unsigned char> out(1 << 16);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const std::string text = Text(6000);
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FIXED, Z_HUFFMAN_ONLY, Z_DEFAULT_STRATEGY};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(deflateParams(&z, 6, strategies[i]), Z_OK);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
        z.avail_in = static_cast<uInt>(text.size());
        EXPECT_EQ(deflate(&z, i == 3 ? Z_FINISH : Z_FULL_FLUSH), i == 3 ? Z_STREAM_END : Z_OK);
    }
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Bits written from the lowest of each byte up, as deflate packs them.
class BitWriter {
public:
    void Put(unsigned value, int count)
    {
        for (int i = 0; i < count; ++i, ++bits_) {
            if (bits_ % 8 == 0)
                bytes_.push_back(0);
            bytes_.back() |= static_cast<unsigned char>((value >> i & 1) << (bits_ % 8));
        }
    }
    // A Huffman code goes in from its highest bit.
    void PutCode(unsigned code, int length)
    {
        for (int i = length - 1; i >= 0; --i)
            Put(code >> i & 1, 1);
    }
    std::vector<unsigned char>& Bytes() { return bytes_; }

private:
    std::vector<unsigned char> bytes_;
    std::size_t bits_ = 0;
};

// A dynamic block of the literals 'a', 'b', 'c' and no distance code at all, as libdeflate writes a block
// without matches: every literal/length code two bits long, the distance code one length of 0.
void PutLiteralsOnlyBlock(BitWriter& bits, bool final)
{
    bits.Put(final, 1);
    bits.Put(2, 2);
    bits.Put(0, 5);   // 257 literal/length codes
    bits.Put(0, 5);   // one distance code
    bits.Put(12, 4);  // 16 code length code lengths, up to the one for 2
    // The code length code: 2 is "0", 0 is "10", 18 (a run of zeros) "11".
    const int order[] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2};
    for (int symbol : order)
        bits.Put(symbol == 2 ? 1 : symbol == 18 || symbol == 0 ? 2 : 0, 3);
    const auto run = [&bits](unsigned zeros) {  // 11 to 138 zeros
        bits.PutCode(3, 2);
        bits.Put(zeros - 11, 7);
    };
    // Lengths: 'a' to 'c' and the end of the block 2; every other literal, and the one distance, 0.
    run(97);
    for (int i = 0; i < 3; ++i)
        bits.PutCode(0, 1);
    run(138);
    run(256 - 100 - 138);
    bits.PutCode(0, 1);
    bits.PutCode(2, 2);
    // The literals' codes are 00, 01, 10 for 'a', 'b', 'c' and 11 for the end of the block.
    for (unsigned code : {0u, 1u, 2u, 2u, 1u, 3u})
        bits.PutCode(code, 2);
}

std::string Inflated(const std::vector<unsigned char>& stream)
{
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -MAX_WBITS), Z_OK);
    std::string out(1 << 16, '\0');
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&z, Z_FINISH);
    out.resize(result == Z_STREAM_END ? z.total_out : 0);
    inflateEnd(&z);
    return out;
}

TEST(DeflateCodes, EveryBlockOfAStreamIsWalkedToTheFinalOne)
{
    const std::vector<unsigned char> stream = SeveralBlocks();
    ASSERT_EQ(Inflated(stream), Text(6000) + Text(6000) + Text(6000) + Text(6000));
    EXPECT_EQ(ShapeOfCodes(stream.data(), stream.size()), CodeShape::Complete);
    // Cut short before its final block, the walk finds none (the final block itself is not read through).
    for (std::size_t cut : {std::size_t(1), stream.size() / 3, stream.size() / 2, stream.size() * 2 / 3})
        EXPECT_EQ(ShapeOfCodes(stream.data(), cut), CodeShape::Unknown) << cut;
}

TEST(DeflateCodes, ABlockWithoutDistanceCodesIsFoundWhereverItStands)
{
    BitWriter alone;
    PutLiteralsOnlyBlock(alone, true);
    ASSERT_EQ(Inflated(alone.Bytes()), "abccb");
    EXPECT_EQ(ShapeOfCodes(alone.Bytes().data(), alone.Bytes().size()), CodeShape::LiteralsOnly);

    // Before other blocks it needs the matches those blocks may hold, so the whole stream is unknown.
    BitWriter first;
    PutLiteralsOnlyBlock(first, false);
    PutLiteralsOnlyBlock(first, true);
    ASSERT_EQ(Inflated(first.Bytes()), "abccbabccb");
    EXPECT_EQ(ShapeOfCodes(first.Bytes().data(), first.Bytes().size()), CodeShape::Unknown);

    // After complete blocks: zlib's blocks of a flushed text, then the literals block as the final one.
    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::vector<unsigned char> head(1 << 16);
    const std::string text = Text(6000);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = head.data();
    z.avail_out = static_cast<uInt>(head.size());
    ASSERT_EQ(deflate(&z, Z_FULL_FLUSH), Z_OK);  // ends on a byte boundary, after an empty stored block
    head.resize(z.total_out);
    deflateEnd(&z);
    BitWriter tail;
    PutLiteralsOnlyBlock(tail, true);
    head.insert(head.end(), tail.Bytes().begin(), tail.Bytes().end());
    ASSERT_EQ(Inflated(head), text + "abccb");
    EXPECT_EQ(ShapeOfCodes(head.data(), head.size()), CodeShape::Unknown);
}

}  // namespace
