#pragma once
// A form's captions, one row each: the control, the language key that replaces its text, the text a
// language leaves when its file lacks the key, and, where the form is made with another text, that text.
// Making the form and applying a language both walk the same rows, so the two can never drift apart.
#include <span>

class QWidget;

namespace pw {

class LanguageFile;

struct Caption {
    enum Section { Strings, Info };

    const char* control = nullptr;  // object name of the control; none for the form's own caption
    int item = -1;                  // row of a list or column of a list's header; -1 for the control's text
    const char* key = nullptr;      // none for a text no language changes
    const char* builtIn = "";       // UTF-8, as every text of this table
    const char* suffix = "";        // follows the language's text, the built-in one included
    const char* beforeLanguage = nullptr;  // the text the form is made with, where it is not builtIn + suffix
    Section section = Strings;
    bool toolTip = false;  // the text is the control's tooltip, not its caption
};

using CaptionTable = std::span<const Caption>;

// The captions `form` shows before any language is applied. A list's rows are made here, in table order.
void ShowCaptionsBeforeLanguage(QWidget& form, CaptionTable table);

// The captions `file` gives, each missing key's built-in text in its place; texts no key names stay.
void ApplyCaptions(QWidget& form, CaptionTable table, const LanguageFile& file);

// The control of `form` a row names: one of the form's own, never one of a dialog the form owns, whose
// controls may bear the same names. The form itself for a row that names no control; null when none
// bears the name.
QWidget* CaptionedControl(QWidget& form, const Caption& caption);

}  // namespace pw
