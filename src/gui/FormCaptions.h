#pragma once
// The caption table of each window: the main window, the catalogue editor, the shortcut dialog and the
// findings of a try.
#include "gui/CaptionTable.h"

namespace pw {

CaptionTable MainFormCaptions();
CaptionTable SilFormCaptions();
CaptionTable AddAtalhoFormCaptions();
CaptionTable TryFormCaptions();

}  // namespace pw
