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
};

}  // namespace pw
