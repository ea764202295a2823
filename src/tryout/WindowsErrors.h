#pragma once
// What a Windows code in a try's report means, in Windows' own words: the error that kept a line from
// starting, and the exit codes that are Windows' rather than the program's own (Windows Installer's codes,
// and the NTSTATUS a process ends with when Windows ends it). Wine knows no texts for the latter, so the
// report takes them from here.
#include <QString>

namespace pw {

// "193 (...)": the code, and its text when it is known; `fallback` is the text the prefix gave, if any.
QString StartErrorText(qint64 code, const QString& fallback = {});

// An exit code as the report shows it: an NTSTATUS in hexadecimal, and the text of a Windows code.
QString ExitCodeText(qint64 code);

}  // namespace pw
