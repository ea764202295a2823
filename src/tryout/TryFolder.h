#pragma once
// The folder a try works in: made fresh for each try, removed whole at its end however it ends; and reading
// back the files the try's programs write there.
#include <QByteArray>
#include <QString>

namespace pw {

class TryFolder {
public:
    // Makes a new folder in `parent` (the system's temporary folder when empty).
    explicit TryFolder(const QString& parent);
    ~TryFolder();
    TryFolder(const TryFolder&) = delete;
    TryFolder& operator=(const TryFolder&) = delete;

    bool isValid() const { return !path_.isEmpty(); }
    QString path() const { return path_; }
    QString error() const { return error_; }

private:
    QString path_, error_;
};

// Removes `path` and everything in it, also folders an installer left without write permission. Links
// are removed, never followed.
bool RemoveTree(const QString& path);

// The content of `path`; empty when it cannot be read.
QByteArray ReadWholeFile(const QString& path);

}  // namespace pw
