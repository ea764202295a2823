#pragma once
// The command line of packwright-build, turned into the inputs the window would hand to a build.
#include "pipeline/BuildInputs.h"

#include <QStringList>

namespace pw {

enum class OutputFormat { Cabinet, SevenZip };

struct CommandLine {
    bool help = false;
    QString error;  // a usage error, or empty
    BuildInputs inputs;
    QString output;
    OutputFormat format = OutputFormat::Cabinet;
};

CommandLine ParseCommandLine(const QStringList& arguments);
QString UsageText();

// What keeps "Criar arquivo" disabled in the window, said in words: an empty or missing program folder,
// or a start file that is not one of its start files. Empty when the build may run.
QString CheckInputs(const BuildInputs& in);

}  // namespace pw
