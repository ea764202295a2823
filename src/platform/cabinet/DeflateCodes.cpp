#include "platform/cabinet/DeflateCodes.h"

#include <cstdint>

namespace pw::fci {
namespace {

constexpr int kMaxCodeLength = 15;
constexpr int kMaxSymbols = 288 + 32;  // literal/length and distance lengths, read as one run
constexpr int kPrecodeSymbols = 19;
// The order in which a dynamic block lists the lengths of the code its other lengths are written in.
constexpr int kPrecodeOrder[kPrecodeSymbols] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Bits from the lowest of each byte up, as deflate packs them.
class BitReader {
public:
    BitReader(const unsigned char* data, std::size_t size) : data_(data), bits_(size * 8) {}

    // False when the stream ends first.
    bool Read(int count, unsigned* value)
    {
        unsigned v = 0;
        for (int i = 0; i < count; ++i, ++position_) {
            if (position_ >= bits_)
                return false;
            v |= unsigned(data_[position_ >> 3] >> (position_ & 7) & 1) << i;
        }
        *value = v;
        return true;
    }

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

// A canonical code decoded one bit at a time: plenty for the few dozen symbols of a block header.
class CanonicalCode {
public:
    CanonicalCode(const unsigned char* lengths, int count)
    {
        int next[kMaxCodeLength + 1] = {};
        for (int i = 0; i < count; ++i)
            ++counts_[lengths[i]];
        for (int length = 1; length < kMaxCodeLength; ++length)
            next[length + 1] = next[length] + counts_[length];
        for (int i = 0; i < count; ++i) {
            if (lengths[i])
                symbols_[next[lengths[i]]++] = i;
        }
    }

    // The next symbol, or -1 when the bits match no code or run out.
    int Decode(BitReader& bits) const
    {
        int code = 0;
        int first = 0;  // first code of the current length
        int index = 0;  // where the symbols of the current length start
        for (int length = 1; length <= kMaxCodeLength; ++length) {
            unsigned bit;
            if (!bits.Read(1, &bit))
                return -1;
            code |= int(bit);
            if (code - first < counts_[length])
                return symbols_[index + code - first];
            index += counts_[length];
            first = (first + counts_[length]) << 1;
            code <<= 1;
        }
        return -1;
    }

private:
    int counts_[kMaxCodeLength + 1] = {};
    int symbols_[kMaxSymbols] = {};
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
    const CanonicalCode code(precode, kPrecodeSymbols);
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

}  // namespace

CodeShape ShapeOfCodes(const unsigned char* stream, std::size_t size)
{
    BitReader bits(stream, size);
    unsigned final, type;
    if (!bits.Read(1, &final) || !bits.Read(2, &type) || !final)
        return CodeShape::Unknown;
    if (type != 2)
        return type < 2 ? CodeShape::Complete : CodeShape::Unknown;  // stored, or the fixed codes
    unsigned char lengths[kMaxSymbols] = {};
    unsigned literals, distances;
    if (!ReadDynamicLengths(bits, lengths, &literals, &distances) || !IsComplete(lengths, literals))
        return CodeShape::Unknown;
    if (IsComplete(lengths + literals, distances))
        return CodeShape::Complete;
    // 257 symbols: the literals and the end of the block, no match length at all.
    const bool noDistance = distances == 1 && lengths[literals] == 0;
    return literals == 257 && noDistance ? CodeShape::LiteralsOnly : CodeShape::Unknown;
}

}  // namespace pw::fci
