#pragma once
// "Criar arquivo": asks for the output file, checks that the build may run, runs the build steps in
// their fixed order, moves the progress bar, shows the status texts, reports the outcome as the steps
// tell it (success only when the last step made the output file) and always removes the temporary files.
#include "project/BuildInputs.h"
#include "pipeline/BuildTexts.h"
#include "pipeline/BuildUi.h"
#include "pipeline/CabinetStep.h"
#include "pipeline/PackStep.h"
#include "pipeline/ScratchFolder.h"

#include <optional>

namespace pw {

class BuildDriver {
public:
    enum class Outcome {
        Cancelled,  // the save dialog was cancelled
        Succeeded,  // this build made the output file; MessageStr was shown
        Failed,     // a step made no file; ErrMessageStr was shown
        Error,      // the build could not run, or a step raised an error; the reason was shown
        Aborted,    // a step gave up silently (the user stopped it); nothing was shown
    };

    explicit BuildDriver(BuildUi& ui) : ui_(ui) {}

    // The build of "Criar arquivo", for the window's button and for the command line alike.
    Outcome Build(const BuildInputs& in);

    // Handlers of the 7z writer's progress: the bar moves from kProgressPackingStart (nothing packed) to
    // kProgressPacked (all packed).
    void SevenZip1PreProgress(qint64 maxProgress);
    void SevenZip1Progress(const QString& fileName, qint64 filePosArc, qint64 filePosFile);
    // Handler of the cabinet's progress, `fraction` 0 to 1: the bar moves from kProgressEntriesWritten
    // towards kProgressEnd, which only a build that made its file reaches.
    void CabWriter1Progress(double fraction);

    // What the save dialog offers: the program folder's name, in the folder of the last output chosen, or
    // beside the program folder before the first.
    SaveSuggestion SuggestedOutput(const BuildInputs& in) const;

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
    // Throws UserError with the reason when the build may not run: an output in a refused, missing or
    // read-only folder, a folder or start file that is not the one shown, a file missing from AppDir, a
    // SOURCE_DATE_EPOCH that is no time; NameRefused for a name or value the add-on cannot carry.
    void CheckBeforeBuilding(const BuildInputs& in, const QString& target, bool plainArchive) const;
    Outcome RunSteps(const BuildInputs& in, const BuildUi::SaveChoice& choice);
    // `failureDetail` says why no file was made, when that is known.
    Outcome Report(bool made, const QString& failureDetail = {});
    void ShowStatus(const QString& text);
    void ShowMessage(const QString& text, MessageKind kind);
    // What earlier builds left that no running build owns: the files older versions left directly in
    // DataDir ("*.ini") and DataDir/temp, and the scratch folders of builds that died.
    void RemoveLeftovers(const BuildInputs& in);
    // Throws BuildRefused, naming the folder and why, when DataDir/temp cannot hold the scratch folder.
    void MakeScratchFolder(const BuildInputs& in);
    // Why the packing made no archive: the file it could not read, or what the error says of `folder`.
    QString PackFailureDetail(const BuildInputs& in, const QString& folder) const;
    // The folder a message names for a file the build wrote: DataDir/temp for the scratch folder's files.
    QString ShownFolder(const BuildInputs& in, const QString& file) const;
    void CleanUp(const BuildInputs& in, const QString& finalStatus);

    BuildUi& ui_;
    // The scratch folder of the build under way; it goes, with everything in it, at the clean-up.
    std::optional<ScratchFolder> scratch_;
};

}  // namespace pw
