#pragma once
// Applying a language: the captions of the three windows, the rows of their fixed lists, the font face of
// the main window and the catalogue editor, the author and contact shown on the "Idiomas" page, the
// messages of the build and of the catalogue editor, and the windows' sizes for their new captions. Every
// text missing from the file takes its built-in Portuguese default.
namespace pw {

class LanguageFile;
class TMainForm;

// The language of the start-up (`keepChoices` false) also selects "Normal" as the compression level, the
// first overwrite mode and the first shortcut location; a language the user chooses later keeps every
// choice, since renaming a list's rows is no reason to change what it says.
void ApplyLanguage(TMainForm& form, const LanguageFile& file, bool keepChoices);

}  // namespace pw
