#pragma once
// A file a build had to read and could not, in the user's words: the file as the user knows it (its path
// in the program folder) and why.
#include "project/BuildInputs.h"
#include "pipeline/BuildTexts.h"

namespace pw {

// "Could not read the file "sub/setup.exe": permission to read it is missing." `path` is shown relative
// to in.sourceDir when it lies there, whole otherwise (a runner program of AppDir).
QString UnreadableFileText(const BuildInputs& in, const QString& path, int error, const BuildTexts& texts);

}  // namespace pw
