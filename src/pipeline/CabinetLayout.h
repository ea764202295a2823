#pragma once
// Where an add-on's files stand inside its cabinet: the names the build writes and the checks before it
// count alike.
#include <QString>

namespace pw {

// The add-on's folder inside the cabinet, where the program goes.
inline const QString kCabinetProgramFolder = QStringLiteral("svcpack");

// The self-extractor's name inside the cabinet: "svcpack\<outName>.exe".
inline QString InstallerNameInCabinet(const QString& outName)
{
    return kCabinetProgramFolder + QLatin1Char('\\') + outName + QStringLiteral(".exe");
}

}  // namespace pw
