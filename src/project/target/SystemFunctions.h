#pragma once
// The table of what Windows' system libraries brought in which version, for the functions and libraries
// that programs import and that came after the oldest Windows a disc may hold. It ships as
// "SystemFunctions.qmr" in AppDir: one section per library, each function = the Windows version that
// brought it; the section [Libraries] names whole libraries the same way ("none" for one that no
// Windows carries, as a compiler's run-time library), and a name there that ends in "*" stands for every
// library that begins so. A function or library the table does not name is taken to be on every Windows.
#include "project/target/WindowsTarget.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

namespace pw {

QString SystemFunctionsFilePath(const QString& appDir);

class SystemFunctions {
public:
    explicit SystemFunctions(const QString& path) : path_(path) {}

    // Whether `target` has the library `library` (any letter case).
    bool HasLibrary(const QByteArray& library, WindowsTarget target) const;
    // The functions of `functions` that `target`'s `library` does not export, in their order.
    QList<QByteArray> MissingFunctions(const QByteArray& library, const std::vector<QByteArray>& functions,
                                       WindowsTarget target) const;

private:
    QString path_;
};

}  // namespace pw
