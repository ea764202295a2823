#pragma once
// The command that runs the start file. The entries file and the self-extractor's configuration both
// carry it, so a compacted and a non-compacted add-on run the same command.
#include "project/BuildInputs.h"

namespace pw {

enum class RunnerNaming {
    ProgramFile,  // "msistub.exe", as the entries file runs it from the add-on's folder
    RunWord,      // "msistub", the word the self-extractor resolves to the runner in its archive
};

// The runner (if the start file has one), the start file as named, the silent switch (when the kind
// takes one and it is not empty) and the runner's own arguments, each after one blank:
// "msistub.exe setup.msi /norestart /qb-!"; the self-extractor's command also hides a batch file's
// console: "batchrunner install.cmd /S hidcon".
QString StartCommand(const BuildInputs& in, RunnerNaming naming);

}  // namespace pw
