#pragma once
// One probe per installer technology, tried in order: the first that recognises the start file names its
// kind. Probes that look for a structure come before those that look for a loose marker, so that an
// installer carrying another one's files is named by its own.
#include "project/installer/InstallerEvidence.h"
#include "project/installer/InstallerKind.h"

#include <optional>
#include <span>

namespace pw {

using InstallerProbe = std::optional<InstallerKind> (*)(InstallerEvidence& evidence);

std::span<const InstallerProbe> InstallerProbes();

}  // namespace pw
