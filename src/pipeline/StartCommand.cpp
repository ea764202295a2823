#include "pipeline/StartCommand.h"

#include "project/StartFileKinds.h"

namespace pw {

QString StartCommand(const BuildInputs& in, RunnerNaming naming)
{
    const Runner* runner = RunnerOf(in.startFile);
    QString command;
    if (runner)
        command = (naming == RunnerNaming::ProgramFile ? runner->program : runner->word) + QLatin1Char(' ');
    command += in.startFile;
    if (TakesSilentSwitch(in.startFile) && !in.silentSwitch.isEmpty())
        command += QLatin1Char(' ') + in.silentSwitch;
    if (runner) {
        command += runner->arguments;
        if (naming == RunnerNaming::RunWord)
            command += runner->selfExtractorArguments;
    }
    return command;
}

}  // namespace pw
