#pragma once
// Text laid out for a terminal of 80 columns, as --help is.
#include <QString>

namespace pw {

// `lead` followed by `text` broken between words into lines of at most `width` columns, each line after
// the first indented as far as `lead` reaches; a line break in `text` starts a new line there too. A group
// in brackets ("[--target xp|xp64|2003]") is one word, as a usage line writes an option with its value;
// a word longer than a line gets a line of its own. Ends with a line break.
QString Wrapped(const QString& lead, const QString& text, qsizetype width = 79);

}  // namespace pw
