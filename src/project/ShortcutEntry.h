#pragma once
// One row of the shortcut list: a caption and eight sub-items, in the order the shortcut dialog fills
// them. The self-extractor configuration reads sub-items 1 to 7 by position.
#include <QString>
#include <QStringList>

namespace pw {

struct ShortcutEntry {
    enum SubItem { ShownTarget = 0, LocationCode, FolderCode, Target, Parameters, ShortcutFolder, Description, Name,
                   SubItemCount };

    QString caption;         // location as the location list showed it
    QStringList subItems;    // SubItemCount texts

    QString subItem(int index) const { return index < subItems.size() ? subItems[index] : QString(); }
    bool operator==(const ShortcutEntry&) const = default;
};

// The row the shortcut dialog makes from its choices and its five texts, in the dialog's fill order.
ShortcutEntry MakeShortcutEntry(const QString& locationCaption, int locationCode, int folderCode,
                                const QString& target, const QString& parameters, const QString& shortcutFolder,
                                const QString& description, const QString& name);

// The location list's built-in items, code 0 to 3, in UTF-8.
inline constexpr const char* kShortcutLocations[] = {"Área de trabalho", "Menu Iniciar", "Programas no Menu Iniciar",
                                                     "Inicialização"};

}  // namespace pw
