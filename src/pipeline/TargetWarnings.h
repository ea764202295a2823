#pragma once
// What the window and the command line say before a build about the start file on the disc's Windows:
// the findings of CheckTarget, each in words of the language.
#include "pipeline/BuildTexts.h"
#include "project/target/TargetCheck.h"

#include <QStringList>

namespace pw {

// The name the language gives `target`.
const QString& TargetName(const BuildTexts& texts, WindowsTarget target);

// One paragraph for each finding, about the start file `startFile` (a bare name).
QStringList TargetWarningTexts(const QList<TargetFinding>& findings, const QString& startFile, WindowsTarget target,
                               const BuildTexts& texts);

// The paragraphs for the start file at `path`, checked with the table of AppDir `appDir`.
QStringList TargetWarnings(const QString& path, WindowsTarget target, const QString& appDir, const BuildTexts& texts);

}  // namespace pw
