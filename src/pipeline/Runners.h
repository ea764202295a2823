#pragma once
// Start files that are not programs run through a small runner program shipped beside Packwright.
#include <QString>

namespace pw {

// "msistub.exe" for ".msi", "batchrunner.exe" for ".cmd" and ".bat", "infrunner.exe" for ".inf" (the
// extension compared in lower case); "" for every other start file.
QString RunnerProgram(const QString& startFile);

}  // namespace pw
