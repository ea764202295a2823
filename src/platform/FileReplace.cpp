#include "platform/FileReplace.h"

#include <QSaveFile>

namespace pw {

std::optional<QString> ReplaceFileContents(const QString& path, const QByteArray& bytes,
                                           ReplaceFallback fallback)
{
    QSaveFile out(path);
    out.setDirectWriteFallback(fallback == ReplaceFallback::WriteDirect);
    // Unbuffered, so that a write the disk refuses fails at once instead of in a flush the commit may
    // not notice, which would put a truncated file in place of the old one.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return out.errorString();
    if (out.write(bytes) != bytes.size() || !out.commit())
        return out.errorString();
    return std::nullopt;
}

}  // namespace pw
