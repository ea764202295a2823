#include "platform/cabinet/DeflateCodes.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace pw::fci {
namespace {

constexpr int kMaxCodeLength = 15;
constexpr int kLiteralSymbols = 288;
constexpr int kDistanceSymbols = 32;
constexpr int kMaxSymbols = kLiteralSymbols + kDistanceSymbols;  // both codes' lengths, read as one run
constexpr int kPrecodeSymbols = 19;
// The order in which a dynamic block lists the lengths of the code its other lengths are written in.
constexpr int kPrecodeOrder[kPrecodeSymbols] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
constexpr int kEndOfBlock = 256;
// Extra bits after each match length symbol from 257 on, and after each distance symbol.
constexpr unsigned char kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                            2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr unsigned char kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                              6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Bits from the lowest of each byte up, as deflate packs them.
class BitReader {
public:
    BitReader(const unsigned char* data, std::size_t size) : data_(data), bits_(size * 8) {}

    // The next `count` bits (at most 25) without taking them; past the end they read as zeros.
    unsigned Peek(int count) const
    {
        std::uint32_t window = 0;
        const std::size_t byte = position_ >> 3;
        const std::size_t size = bits_ / 8;
        if (byte + 4 <= size) {
            window = std::uint32_t(data_[byte]) | std::uint32_t(data_[byte + 1]) << 8 |
                     std::uint32_t(data_[byte + 2]) << 16 | std::uint32_t(data_[byte + 3]) << 24;
        } else {
            for (std::size_t i = 0; byte + i < size; ++i)
                window |= std::uint32_t(data_[byte + i]) << (8 * i);
        }
        return (window >> (position_ & 7)) & ((1u << count) - 1);
    }
    // False when the stream ends first.
    bool Skip(std::size_t count)
    {
        position_ += count;
        return position_ <= bits_;
    }
    bool Read(int count, unsigned* value)
    {
        *value = Peek(count);
        return Skip(count);
    }
    // To the next byte boundary, where a stored block's length starts.
    void Align() { position_ = (position_ + 7) & ~std::size_t(7); }

private:
    const unsigned char* data_;
    std::size_t bits_;
    std::size_t position_ = 0;
};

// Every bit pattern is used when the codes' shares, 2 to the minus length each, add up to one whole.
bool IsComplete(const unsigned char* lengths, unsigned count)
{
    std::uint32_t sum = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (lengths[i])
            sum += 1u << (kMaxCodeLength - lengths[i]);
    }
    return sum == 1u << kMaxCodeLength;
}

// A canonical prefix code decoded through a table indexed by the next bits of the stream, as many as its
// longest code has: each entry holds the symbol those bits begin with and its length, or a length of 0
// where no code begins with them (which a complete code never leaves).
class PrefixCode {
public:
    PrefixCode(const unsigned char* lengths, int count)
    {
        int counts[kMaxCodeLength + 1] = {};
        for (int i = 0; i < count; ++i) {
            ++counts[lengths[i]];
            if (lengths[i] > longest_)
                longest_ = lengths[i];
        }
        unsigned next[kMaxCodeLength + 1] = {};
        for (int length = 1; length < kMaxCodeLength; ++length)
            next[length + 1] = (next[length] + unsigned(counts[length])) << 1;
        const std::size_t entries = std::size_t(1) << longest_;
        std::fill_n(table_.begin(), entries, std::uint16_t(0));
        for (int symbol = 0; symbol < count; ++symbol) {
            const int length = lengths[symbol];
            if (!length)
                continue;
            // Codes go into the stream from their highest bit, so the table index holds them reversed.
            unsigned reversed = 0;
            for (unsigned code = next[length]++, i = 0; i < unsigned(length); ++i)
                reversed |= (code >> i & 1) << (length - 1 - i);
            for (std::size_t index = reversed; index < entries; index += std::size_t(1) << length)
                table_[index] = std::uint16_t(symbol << 4 | length);
        }
    }

    // The next symbol, or -1 when the bits match no code or the stream ends first.
    int Decode(BitReader& bits) const
    {
        const std::uint16_t entry = table_[bits.Peek(longest_)];
        return (entry & 15) && bits.Skip(entry & 15) ? entry >> 4 : -1;
    }

private:
    int longest_ = 0;
    std::array<std::uint16_t, std::size_t(1) << kMaxCodeLength> table_;  // only the first 2^longest_ used
};

// The literal/length and distance code lengths of a dynamic block, after its first three bits.
bool ReadDynamicLengths(BitReader& bits, unsigned char* lengths, unsigned* literals, unsigned* distances)
{
    unsigned precodes;
    if (!bits.Read(5, literals) || !bits.Read(5, distances) || !bits.Read(4, &precodes))
        return false;
    *literals += 257;
    *distances += 1;
    unsigned char precode[kPrecodeSymbols] = {};
    for (unsigned i = 0; i < precodes + 4; ++i) {
        unsigned length;
        if (!bits.Read(3, &length))
            return false;
        precode[kPrecodeOrder[i]] = static_cast<unsigned char>(length);
    }
    if (!IsComplete(precode, kPrecodeSymbols))
        return false;
    const PrefixCode code(precode, kPrecodeSymbols);
    const unsigned total = *literals + *distances;
    for (unsigned i = 0; i < total;) {
        const int symbol = code.Decode(bits);
        if (symbol < 0)
            return false;
        if (symbol < 16) {
            lengths[i++] = static_cast<unsigned char>(symbol);
            continue;
        }
        // 16 repeats the previous length 3 to 6 times; 17 and 18 write 3 to 10 and 11 to 138 zeros.
        unsigned repeat;
        const int extraBits[] = {2, 3, 7};
        const unsigned least[] = {3, 3, 11};
        if ((symbol == 16 && i == 0) || !bits.Read(extraBits[symbol - 16], &repeat))
            return false;
        repeat += least[symbol - 16];
        const unsigned char value = symbol == 16 ? lengths[i - 1] : 0;
        if (repeat > total - i)
            return false;
        for (; repeat > 0; --repeat)
            lengths[i++] = value;
    }
    return true;
}

// The codes of the fixed block type, which every reader knows.
void FixedLengths(unsigned char* lengths)
{
    for (int i = 0; i < kLiteralSymbols; ++i)
        lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
    for (int i = 0; i < kDistanceSymbols; ++i)
        lengths[kLiteralSymbols + i] = 5;
}

// Reads a block's symbols up to its end, to find where the next block starts.
bool SkipBody(BitReader& bits, const unsigned char* lengths, unsigned literals, unsigned distances)
{
    const PrefixCode literal(lengths, int(literals));
    const PrefixCode distance(lengths + literals, int(distances));
    for (;;) {
        const int symbol = literal.Decode(bits);
        if (symbol < 0 || symbol > 285)
            return false;
        if (symbol == kEndOfBlock)
            return true;
        if (symbol < kEndOfBlock)
            continue;
        // A match: its length's extra bits, then the distance symbol and that one's extra bits.
        if (!bits.Skip(kLengthExtra[symbol - 257]))
            return false;
        const int distanceSymbol = distance.Decode(bits);
        if (distanceSymbol < 0 || distanceSymbol >= 30 || !bits.Skip(kDistanceExtra[distanceSymbol]))
            return false;
    }
}

}  // namespace

CodeShape ShapeOfCodes(const unsigned char* stream, std::size_t size)
{
    BitReader bits(stream, size);
    for (bool first = true;; first = false) {
        unsigned final, type;
        if (!bits.Read(1, &final) || !bits.Read(2, &type) || type == 3)
            return CodeShape::Unknown;
        unsigned char lengths[kMaxSymbols] = {};
        unsigned literals = kLiteralSymbols, distances = kDistanceSymbols;
        if (type == 0) {
            // Stored: the length and its complement, then the bytes as they are.
            bits.Align();
            unsigned length, complement;
            if (!bits.Read(16, &length) || !bits.Read(16, &complement) || (length ^ complement) != 0xFFFF ||
                !bits.Skip(std::size_t(length) * 8))
                return CodeShape::Unknown;
        } else if (type == 1) {
            FixedLengths(lengths);
        } else {
            if (!ReadDynamicLengths(bits, lengths, &literals, &distances) || !IsComplete(lengths, literals))
                return CodeShape::Unknown;
            if (!IsComplete(lengths + literals, distances)) {
                // 257 symbols: the literals and the end of the block, no match length at all.
                const bool noDistance = literals == 257 && distances == 1 && lengths[literals] == 0;
                return first && final && noDistance ? CodeShape::LiteralsOnly : CodeShape::Unknown;
            }
        }
        if (final)
            return CodeShape::Complete;
        if (type != 0 && !SkipBody(bits, lengths, literals, distances))
            return CodeShape::Unknown;
    }
}

}  // namespace pw::fci
