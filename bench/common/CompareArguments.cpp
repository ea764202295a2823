#include "CompareArguments.h"

#include <QFile>

#include <cstdio>

std::optional<CompareArguments> ParseCompareArguments(int argc, char** argv, const char* usage)
{
    CompareArguments parsed;
    int next = 1;
    if (argc > 2 && QByteArray(argv[1]) == "--rounds") {
        bool number = false;
        parsed.rounds = QByteArray(argv[2]).toInt(&number);
        if (!number || parsed.rounds < 1)
            next = argc + 1;  // refused below
        else
            next = 3;
    }
    if (next < argc && argv[next][0] != '-')
        parsed.corpus = QFile::decodeName(argv[next++]);
    if (next != argc) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return std::nullopt;
    }
    return parsed;
}
