#pragma once
// Installers for the recogniser's tests: real ones made by the tools that make them, and the imitations
// of stubs/ with the data that follows their image.
#include "support/TempDir.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace pwtest {

// The bytes of the fixture program stubs/NAME.exe, built with the tests.
QByteArray Stub(const QString& name);

// Runs `program` in `folder`; fails the test, and returns false, when it does not end with 0.
bool RunTool(const QString& program, const QStringList& arguments, const QString& folder);

// An NSIS installer made by makensis for `target` ("x86-ansi", "x86-unicode", "amd64-unicode").
QString MakeNsisInstaller(const TempDir& dir, const QString& target);

// A Windows Installer package made by wixl, named `name`.
QString MakeMsiPackage(const TempDir& dir, const QString& name);

struct NamedBytes {
    QString name;
    QByteArray bytes;
};

// A 7z archive of `files` made by 7-Zip at compression level `level`.
QByteArray SevenZipArchive(const TempDir& dir, const QList<NamedBytes>& files, int level = 5);

// A cabinet of `files` made by gcab.
QByteArray Cabinet(const TempDir& dir, const QList<NamedBytes>& files);

// Our self-extractor as the pack step joins it: the module 7zS.sfx of AppDir, the configuration block and
// the archive. Empty when the module has not been built.
QByteArray OurSelfExtractor(const QByteArray& archive);

}  // namespace pwtest
