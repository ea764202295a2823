#pragma once
// Replays a fuzzer's corpus through its entry point, so that the sanitizer build of the tests checks every
// input that once took the fuzzed code somewhere new.
#include <QString>

#include <cstddef>
#include <cstdint>

namespace pwtest {

using FuzzEntry = int (*)(const std::uint8_t* data, std::size_t size);

// Feeds each file of `corpus` to `entry`, which must return 0; a GoogleTest failure for each one that does
// not, and for an empty corpus.
void ReplayFuzzCorpus(const QString& corpus, FuzzEntry entry);

}  // namespace pwtest
