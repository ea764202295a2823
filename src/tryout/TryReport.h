#pragma once
// The report of a try: the text the caller shows (the command line prints it, the window shows it) and a
// folder of its own with that text (summary.txt), the screenshots and the add-on's log.
#include "tryout/TryTypes.h"

#include <QImage>
#include <QList>
#include <QString>

namespace pw {

// "Windows XP", "Windows XP x64", "Windows Server 2003".
QString WindowsName(WindowsTarget target);

// True when every line ran to its end on its own with a code Windows setup takes for success, showing
// no window for long.
bool InstalledSilently(const TryResult& result);

// The verdict of a run that ended, as a sentence of `texts`; `windowTitle` names the window that waited.
QString VerdictText(const TryResult& result, const QString& windowTitle, const TryOptions& options);

// The report as text. A try that never ran its lines gets its reason only.
QString SummaryText(const TryResult& result, const QString& verdict, const TryOptions& options);

// Makes a new folder in `parent` (the current folder when empty) named after the add-on and the time,
// and saves `screenshots` there as PNG files and `addonLog` (when it exists) as addon-log.txt. Fills
// `result`'s folder and screenshot names. Returns false, with `error` set, when the folder or a file
// cannot be written.
bool WriteReportFiles(TryResult& result, const QString& parent, const QString& addon, const QList<QImage>& screenshots,
                      const QString& addonLog, QString* error);

// The table that ends a try of several add-ons: each add-on's verdict, run time, files and registry values
// added and size (those of `tried` not in `results` were not tried), then their total against a 700 MB disc.
QString TableText(const QStringList& tried, const QList<TryResult>& results, const TryTexts& texts);

// Writes the summary into the report folder.
bool WriteSummary(const TryResult& result, QString* error);

}  // namespace pw
