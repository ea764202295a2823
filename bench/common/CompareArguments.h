#pragma once
// The arguments the comparison benchmarks share: "[--rounds N] [corpus-folder]".
#include <QString>

#include <optional>

struct CompareArguments {
    int rounds = 3;
    QString corpus;  // empty: a temporary folder
};

// Nothing, after printing `usage` to standard error, when the arguments are anything else (an option
// taken for the corpus folder would have a corpus generated under its name).
std::optional<CompareArguments> ParseCompareArguments(int argc, char** argv, const char* usage);
