#include "support/FuzzCorpus.h"

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(InstallerFuzzCorpus, EveryInputIsRecognisedSafely)
{
    pwtest::ReplayFuzzCorpus(QStringLiteral(PW_INSTALLER_CORPUS), LLVMFuzzerTestOneInput);
}
