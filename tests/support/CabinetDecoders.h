#pragma once
// Reads cabinets with the independent decoders installed on the machine, never with our own code:
// cabextract, gcab, 7z and bsdtar.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <initializer_list>

namespace pwtest {

// Relative path ("/" between folders) to content.
using FileTree = QMap<QString, QByteArray>;

enum class Decoder { Cabextract, Gcab, SevenZip, Bsdtar };
inline constexpr std::initializer_list<Decoder> kAllDecoders = {Decoder::Cabextract, Decoder::Gcab,
                                                                Decoder::SevenZip, Decoder::Bsdtar};

// The missing decoder programs, empty when all four are installed.
QStringList MissingDecoders();

struct ToolRun {
    bool ok = false;  // exit status 0
    QString output;   // stdout and stderr together
};
ToolRun RunTool(const QString& program, const QStringList& arguments);

// Every file of `folder` below it, with its content.
FileTree ReadTree(const QString& folder);

// Extracts `cabinet` (the first of a set) with each decoder into a fresh folder and compares what
// comes out with `expected`, byte for byte.
::testing::AssertionResult DecodersExtract(const QString& cabinet, const FileTree& expected,
                                           std::initializer_list<Decoder> decoders = kAllDecoders);

// Relative path ("/" between folders) to the file on disk whose bytes it should have: for trees too big
// to hold in memory, compared piece by piece.
using FileSources = QMap<QString, QString>;
::testing::AssertionResult DecodersExtractFiles(const QString& cabinet, const FileSources& expected,
                                                std::initializer_list<Decoder> decoders = kAllDecoders);
// Every file below `folder`, under `prefix` plus its path below the folder.
FileSources FilesBelow(const QString& folder, const QString& prefix);

// A folder for many small files: in memory where the machine has such a file system, since creating
// thousands of files on disk takes seconds.
QString FastScratchRoot();

// The names a cabinet holds, in its order, as cabextract lists them ("\" shown as "/").
QStringList ListedNames(const QString& cabinet);

}  // namespace pwtest

#define PW_SKIP_WITHOUT_DECODERS()                                                                   \
    do {                                                                                             \
        const QStringList missing = pwtest::MissingDecoders();                                       \
        if (!missing.isEmpty())                                                                      \
            GTEST_SKIP() << "decoders not installed: " << missing.join(QLatin1Char(' ')).toStdString(); \
    } while (false)
