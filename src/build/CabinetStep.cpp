#include "build/CabinetStep.h"

namespace pw {

// The cabinet writer is not part of this build yet: no cabinet is written, which the driver reports.
void CabinetStep::BuildCabinet(const BuildInputs&, const QString&, const QString&, const QString&) {}

}  // namespace pw
