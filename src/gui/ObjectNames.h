#pragma once
// Controls carry the names the program's rules use for them, so that tests and language files can find
// them by name.
#include <QLatin1String>
#include <QObject>

namespace pw {

template <typename T>
T* Named(T* object, const char* name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

}  // namespace pw
