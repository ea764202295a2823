#pragma once
// What Windows, a cabinet and the entries file cannot take. An add-on runs unattended during Windows
// setup: a name Windows changes, drops or cannot find there loses a file or runs nothing, and nobody is
// watching. So a build refuses such a name or value before it writes anything, and says which and why.
// One function per rule; each gives the reason it refuses, or nothing.
#include "platform/Errors.h"

#include <QString>

#include <optional>

namespace pw {

struct BuildTexts;

enum class NameRule {
    Character,           // detail: the character Windows does not allow in a name
    DotOrBlankAtEnd,     // Windows drops a trailing dot or blank, so the name becomes another one
    DeviceName,          // detail: the device, such as "NUL"
    SameNameButCase,     // detail: the other name, the same when case is ignored as Windows ignores it
    RunnerName,          // detail: the runner program the add-on puts beside the start file
    TooLongForCabinet,   // detail: the name as the cabinet would store it
    TooLargeForCabinet,  // detail: the file's size in bytes
    OutsideCodePage,     // detail: the character the entries file's code page has not
    PercentInBatchFile,  // cmd expands "%...%" in the name of the batch file it is asked to run
    LineBreak,           // a one-line value whose line break would add lines to the entries file or the
                         // self-extractor's configuration
    EmptyOutputName,     // an output named only by its extension names the add-on's files ".exe", "ENTRIES_.ini"
    ShortcutWithoutTarget,  // a shortcut to nothing: the self-extractor would make none
    BlankInCommand,      // a name on the "[AddProgram]" line, which Windows setup runs as it stands: a blank
                         // would end the program's name there
};

struct NameRefusal {
    NameRule rule;
    QString detail;
};

// A build refused for `subject`: a path relative to the program folder ("/" between names), the output's
// file name, or a value the user gave.
class NameRefused : public UserError {
public:
    NameRefused(QString subject, NameRefusal refusal);
    QString subject;
    NameRefusal refusal;
};

// The message that says what is refused and why, in the language of `texts`.
QString RefusalText(const NameRefused& refused, const BuildTexts& texts);

// The most a cabinet stores: a name of 255 bytes (UTF-8, with its folders), a file of 0x7FFF8000 bytes
// (what one folder of the format addresses; a file cannot span two).
constexpr int kCabinetNameBytes = 255;
constexpr qint64 kCabinetFileBytes = 0x7FFF8000;

// Windows' rules for one name (no folders): the characters < > : " / \ | ? * and control characters; a
// dot or blank at the end; a device name, alone or with an extension ("nul.txt", not "nula.txt").
std::optional<NameRefusal> RefusedCharacter(QStringView name);
std::optional<NameRefusal> DotOrBlankAtEnd(QStringView name);
std::optional<NameRefusal> DeviceName(QStringView name);
// The first of the three that refuses `name`.
std::optional<NameRefusal> WindowsNameRule(QStringView name);

// A name inside a cabinet ("\" between folders) longer than the format stores.
std::optional<NameRefusal> TooLongForCabinet(const QString& nameInCabinet);
// A file larger than a cabinet stores.
std::optional<NameRefusal> TooLargeForCabinet(qint64 size);
// Text the entries file, written in the system code page, would change ("?" for what it has not).
std::optional<NameRefusal> OutsideCodePage(const QString& text);
// A ".bat" or ".cmd" start file with "%" in its name.
std::optional<NameRefusal> PercentInBatchFile(const QString& startFile);
// A blank in a name that stands unquoted on the entries file's "[AddProgram]" line.
std::optional<NameRefusal> BlankInCommand(const QString& name);
// A CR or LF in a value meant to be one line.
std::optional<NameRefusal> LineBreakIn(const QString& value);

// Throws NameRefused for `subject` when `refusal` holds one.
void Refuse(const QString& subject, const std::optional<NameRefusal>& refusal);

}  // namespace pw
