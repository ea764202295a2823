#pragma once
// The cabinet writer's error: the Cabinet API's error record, and a message that names its codes in words.
#include "platform/Errors.h"
#include "platform/cabinet/Fci.h"

namespace pw {

class ESTCabinet : public UserError {
public:
    // `fromFci` tells whether the record comes from the compression half (FCI) or from FDI.
    explicit ESTCabinet(const ERF& erf, bool fromFci = true);
    // An FCI error met while `sourceFile` was being added: its message is the same, and whoever shows it
    // can name the file.
    ESTCabinet(const ERF& erf, const QString& sourceFile);

    UINT erfOper() const { return erfOper_; }
    UINT erfType() const { return erfType_; }
    bool fError() const { return fError_; }
    bool isFci() const { return isFci_; }
    const QString& sourceFile() const { return sourceFile_; }

    static QString MessageFor(const ERF& erf, bool fromFci);

private:
    UINT erfOper_;
    UINT erfType_;
    bool fError_;
    bool isFci_;
    QString sourceFile_;
};

// The error raised when the system refuses something outright (a library that cannot be loaded, a
// folder that cannot be listed): its code and its own text.
UserError OperatingSystemError(int error);

}  // namespace pw
