#include "support/FuzzCorpus.h"

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(SfxBlockFuzzCorpus, EveryInputIsReadSafely)
{
    pwtest::ReplayFuzzCorpus(QStringLiteral(PW_BLOCK_CORPUS), LLVMFuzzerTestOneInput);
}
