#pragma once
// Replacing a file's whole content so that a failure leaves the old content in place: the new bytes go
// to a temporary file beside it, which replaces the file only once every byte is on disk.
#include <QByteArray>
#include <QString>
#include <optional>

namespace pw {

enum class ReplaceFallback {
    None,         // a folder where no temporary file can be made is a failure
    WriteDirect,  // then the file is written in place, as a writable file in a locked folder allows
};

// Returns the system's text for the failure, or nothing on success.
std::optional<QString> ReplaceFileContents(const QString& path, const QByteArray& bytes,
                                           ReplaceFallback fallback = ReplaceFallback::None);

}  // namespace pw
