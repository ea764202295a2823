#include "support/FuzzCorpus.h"

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(VersionInfoFuzzCorpus, EveryInputIsReadSafely)
{
    pwtest::ReplayFuzzCorpus(QStringLiteral(PW_VERSION_CORPUS), LLVMFuzzerTestOneInput);
}
