#pragma once
// "Criar arquivo": asks for the output file, runs the build steps in their fixed order, moves the
// progress bar, shows the status texts, decides success by the existence of the expected files, reports
// the outcome and always removes the temporary files.
#include "pipeline/BuildInputs.h"
#include "pipeline/BuildTexts.h"
#include "pipeline/BuildUi.h"
#include "pipeline/CabinetStep.h"
#include "pipeline/PackStep.h"

namespace pw {

class BuildDriver {
public:
    enum class Outcome {
        Cancelled,  // the save dialog was cancelled
        Succeeded,  // the output file exists; MessageStr was shown
        Failed,     // an expected file was missing; ErrMessageStr was shown
        Error,      // a step raised an error; its message was shown
        Aborted,    // a step gave up silently; nothing was shown
    };

    explicit BuildDriver(BuildUi& ui) : ui_(ui) {}

    Outcome CriaClick(const BuildInputs& in);

    // Handlers of the 7z writer's progress: the bar moves from 1 (nothing packed) to 101 (all packed).
    void SevenZip1PreProgress(qint64 maxProgress);
    void SevenZip1Progress(const QString& fileName, qint64 filePosArc, qint64 filePosFile);

    BuildTexts texts;
    QString OutName;
    QString EntriesFileName;
    bool Busy = false;
    qint64 PackTotal = 0;

    QString lastOutput;   // the file chosen in the last build's save dialog
    QString lastMessage;  // the last message shown to the user

    PackStep pack;
    CabinetStep cabinet;

private:
    Outcome RunSteps(const BuildInputs& in, const BuildUi::SaveChoice& choice);
    Outcome Report(bool success);
    void ShowStatus(const QString& text);
    void ShowMessage(const QString& text);
    void DeleteTemporaryFiles(const BuildInputs& in);
    void CleanUp(const BuildInputs& in);

    BuildUi& ui_;
};

// True when `path` lies inside `folder` (or is the folder itself), after resolving "..", links and
// relative parts; a build must never write there.
bool IsInsideFolder(const QString& path, const QString& folder);

}  // namespace pw
