#pragma once
// The caption table of each window: the main window, the catalogue editor and the shortcut dialog.
#include "gui/CaptionTable.h"

namespace pw {

CaptionTable MainFormCaptions();
CaptionTable SilFormCaptions();
CaptionTable AddAtalhoFormCaptions();

}  // namespace pw
