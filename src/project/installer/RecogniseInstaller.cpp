#include "project/installer/RecogniseInstaller.h"

#include "project/installer/InstallerEvidence.h"
#include "project/installer/InstallerProbes.h"

#include <QFileInfo>

namespace pw {

InstallerKind RecogniseInstaller(const QString& path)
{
    // Opening a named pipe would wait for a writer that may never come.
    if (!QFileInfo(path).isFile())
        return InstallerKind::Unknown;
    FileByteSource source(path);
    if (!source.IsOpen())
        return InstallerKind::Unknown;
    return RecogniseInstaller(source, path);
}

InstallerKind RecogniseInstaller(ByteSource& source, const QString& fileName)
{
    InstallerEvidence evidence(source, fileName);
    for (const InstallerProbe& probe : InstallerProbes()) {
        if (const auto kind = probe(evidence))
            return *kind;
    }
    return InstallerKind::Unknown;
}

}  // namespace pw
