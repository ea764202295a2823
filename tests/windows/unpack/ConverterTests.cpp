// The branch converters and Delta against liblzma's decoders of the same filters, on data full of the
// byte patterns each one converts, read through the filter stream in pieces of awkward sizes so that
// instructions fall across the pieces' edges; and RISC-V, which liblzma 5.4 lacks, through 7-Zip.
extern "C" {
#include "SzPrivate.h"
}
#include "UnpackTools.h"

#include "ArchiveTools.h"
#include "support/TempDir.h"

#include <QRandomGenerator>

#include <lzma.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ostream>

using namespace pwtest;

namespace {

// Bytes with the opcodes and operand bytes the converters look for far more often than chance.
QByteArray Patterned(quint32 seed, int size)
{
    static const unsigned char common[] = {0x00, 0xFF, 0xE8, 0xE9, 0x0F, 0x80, 0x85, 0xEB, 0x48, 0x4B, 0x40, 0x7F,
                                           0xC0, 0x94, 0x97, 0x90, 0xF0, 0xF7, 0xF8, 0xFF, 0x17, 0xEF, 0x01, 0x25};
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = char(random.bounded(3) == 0 ? random.bounded(256) : common[random.bounded(int(sizeof common))]);
    return bytes;
}

// liblzma's decoder of `filter` applied to `data`: the data goes through its LZMA2 first, so that the
// filter can be placed in front of it.
QByteArray LiblzmaDecode(lzma_vli filter, void* options, const QByteArray& data)
{
    lzma_options_lzma lzma2{};
    lzma_lzma_preset(&lzma2, 0);
    const lzma_filter plain[] = {{LZMA_FILTER_LZMA2, &lzma2}, {LZMA_VLI_UNKNOWN, nullptr}};
    QByteArray packed(data.size() + data.size() / 2 + 1024, '\0');
    size_t packedSize = 0;
    EXPECT_EQ(lzma_raw_buffer_encode(plain, nullptr, reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()),
                                     reinterpret_cast<uint8_t*>(packed.data()), &packedSize, size_t(packed.size())),
              LZMA_OK);
    const lzma_filter chain[] = {{filter, options}, {LZMA_FILTER_LZMA2, &lzma2}, {LZMA_VLI_UNKNOWN, nullptr}};
    QByteArray out(data.size(), '\0');
    size_t inPos = 0, outPos = 0;
    EXPECT_EQ(lzma_raw_buffer_decode(chain, nullptr, reinterpret_cast<const uint8_t*>(packed.constData()), &inPos, packedSize,
                                     reinterpret_cast<uint8_t*>(out.data()), &outPos, size_t(out.size())),
              LZMA_OK);
    out.truncate(qsizetype(outPos));
    return out;
}

// A stream that hands out its bytes in pieces of changing, odd sizes.
struct Pieces {
    SzStream base;
    const QByteArray* data;
    qsizetype pos;
    unsigned turn;
};

SzResult PiecesRead(SzStream* self, uint8_t* buffer, size_t* size)
{
    static const size_t sizes[] = {1, 7, 4093, 2, 65536, 3, 511, 5};
    auto* p = reinterpret_cast<Pieces*>(self);
    size_t n = std::min({*size, sizes[p->turn++ % 8], size_t(p->data->size() - p->pos)});
    std::memcpy(buffer, p->data->constData() + p->pos, n);
    p->pos += qsizetype(n);
    *size = n;
    return UNPACK_OK;
}

void* HeapAlloc(void*, size_t size)
{
    return std::malloc(size);
}

void HeapFree(void*, void* block)
{
    std::free(block);
}

QByteArray OurDecode(uint32_t method, const QByteArray& props, const QByteArray& data)
{
    const SzHost host{nullptr, nullptr, HeapAlloc, HeapFree};
    SzBlocks blocks{&host, 0, {}};
    SzCoderInfo coder{};
    coder.method = method;
    coder.unpackSize = quint64(data.size());
    coder.propsSize = uint8_t(props.size());
    std::memcpy(coder.props, props.constData(), size_t(props.size()));
    coder.numInputs = 1;
    Pieces input{{PiecesRead}, &data, 0, 0};
    SzStream* inputs[1] = {&input.base};
    SzStream* output = nullptr;
    QByteArray out;
    EXPECT_EQ(SzFilter_Create(&blocks, &coder, inputs, &output), UNPACK_OK);
    for (unsigned turn = 0; output != nullptr; ++turn) {
        uint8_t buffer[70000];
        size_t n = turn % 2 ? 3 : sizeof buffer;
        EXPECT_EQ(output->Read(output, buffer, &n), UNPACK_OK);
        if (n == 0)
            break;
        out.append(reinterpret_cast<const char*>(buffer), qsizetype(n));
    }
    SzBlocks_FreeAll(&blocks);
    return out;
}

struct Filter {
    const char* name;
    uint32_t method;
    lzma_vli liblzma;
};

// Test names carry the parameter's printed form: its name, not its bytes (which hold a pointer).
void PrintTo(const Filter& filter, std::ostream* out)
{
    *out << filter.name;
}

class BranchConverter : public ::testing::TestWithParam<Filter> {};

TEST_P(BranchConverter, UndoesWhatLiblzmaUndoes)
{
    const QByteArray data = Patterned(GetParam().method, 300000);
    const QByteArray expected = LiblzmaDecode(GetParam().liblzma, nullptr, data);
    ASSERT_EQ(expected.size(), data.size());
    ASSERT_NE(expected, data) << "the data holds nothing to convert";
    EXPECT_TRUE(OurDecode(GetParam().method, {}, data) == expected);
}

INSTANTIATE_TEST_SUITE_P(Filters, BranchConverter,
                         ::testing::Values(Filter{"x86", 0x03030103, LZMA_FILTER_X86},
                                           Filter{"PowerPC", 0x03030205, LZMA_FILTER_POWERPC},
                                           Filter{"IA64", 0x03030401, LZMA_FILTER_IA64},
                                           Filter{"ARM", 0x03030501, LZMA_FILTER_ARM},
                                           Filter{"ARMThumb", 0x03030701, LZMA_FILTER_ARMTHUMB},
                                           Filter{"SPARC", 0x03030805, LZMA_FILTER_SPARC},
                                           Filter{"ARM64", 0x0A, LZMA_FILTER_ARM64}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DeltaFilter, UndoesWhatLiblzmaUndoesAtEveryDistance)
{
    const QByteArray data = Patterned(3, 100000);
    for (int distance : {1, 2, 4, 7, 256}) {
        lzma_options_delta options{};
        options.type = LZMA_DELTA_TYPE_BYTE;
        options.dist = uint32_t(distance);
        EXPECT_TRUE(OurDecode(0x03, QByteArray(1, char(distance - 1)), data) == LiblzmaDecode(LZMA_FILTER_DELTA, &options, data))
            << "distance " << distance;
    }
}

TEST(RiscVFilter, ExtractsWhatSevenZipFilteredForRiscV)
{
    TempDir dir;
    // JAL and AUIPC pairs of several registers, among other instructions
    QRandomGenerator random(11);
    QByteArray code;
    while (code.size() < 200000) {
        const quint32 kind = random.bounded(6), rd = random.bounded(32), imm = random.generate();
        quint32 instruction = imm;
        if (kind == 0)
            instruction = (imm & 0xFFFFF000) | (rd % 2 ? 1u : 5u) << 7 | 0x6F;  // JAL ra/t0
        else if (kind == 1) {
            const quint32 auipc = (imm & 0xFFFFF000) | rd << 7 | 0x17;
            code += QByteArray(reinterpret_cast<const char*>(&auipc), 4);
            instruction = (imm << 20) | rd << 15 | 0x67;  // JALR from the same register
        } else if (kind == 2)
            instruction = (imm & 0xFFFFF000) | 2u << 7 | 0x3017;  // the encoded form's look-alike
        code += QByteArray(reinterpret_cast<const char*>(&instruction), kind == 5 ? 2 : 4);
    }
    dir.write(QStringLiteral("p/code.bin"), code);
    const QString archive = dir.path(QStringLiteral("r.7z"));
    ASSERT_EQ(RunCommand(QStringLiteral("7z"), {QStringLiteral("a"), QStringLiteral("-mf=RISCV"), archive, QStringLiteral(".")},
                         dir.path(QStringLiteral("p")))
                  .exitCode,
              0);
    ASSERT_EQ(ListedMethods(archive), (std::set<QString>{QStringLiteral("RISCV"), QStringLiteral("LZMA2")}));
    const Extraction extraction = ExtractBytes(ReadAll(archive));
    ASSERT_EQ(extraction.result, UNPACK_OK) << extraction.message.toStdString();
    ASSERT_EQ(extraction.items.size(), 1u);
    EXPECT_TRUE(extraction.items[0].data == code);
}

}  // namespace
