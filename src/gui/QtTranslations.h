#pragma once
// Qt's own dialogs (folder, save, the question before replacing a file) speak the window's language:
// Qt's translations of its own texts, from Debian's qt6-translations-l10n.
#include <QByteArray>

namespace pw {

// Replaces the translations of Qt's texts with those of `locale` (an ICU locale such as "pt_BR"); none
// for English, Qt's own language, or when the system has none for it.
void UseQtTranslations(const QByteArray& locale);

}  // namespace pw
