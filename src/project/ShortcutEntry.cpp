#include "project/ShortcutEntry.h"

namespace pw {

ShortcutEntry MakeShortcutEntry(const QString& locationCaption, int locationCode, int folderCode,
                                const QString& target, const QString& parameters, const QString& shortcutFolder,
                                const QString& description, const QString& name)
{
    return {locationCaption,
            {target, QString::number(locationCode), QString::number(folderCode), target, parameters, shortcutFolder,
             description, name}};
}

}  // namespace pw
