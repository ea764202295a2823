#pragma once
// The two ways a user action can end early. A UserError carries a text that is shown to the user in a
// message box; a SilentAbort ends the action without any message (the 7z writer's way of giving up
// when it cannot create its archive).
#include <QString>
#include <exception>

namespace pw {

class UserError : public std::exception {
public:
    explicit UserError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "operation aborted"; }
};

// The system's text for an errno value, as the reason part of file error messages.
QString SystemErrorText(int error);

// "Cannot open file "%s". %s" and "Cannot create file "%s". %s", the file errors every reader and
// writer of the program reports.
// The reason is the system's text, as QFile::errorString() or SystemErrorText() give it.
UserError CannotOpenFile(const QString& path, const QString& reason);
UserError CannotCreateFile(const QString& path, const QString& reason);

// A file that could not be written, with the system's error number, so that whoever shows the message
// can say what it means for the folder (a full disk, a folder gone).
class FileError : public UserError {
public:
    FileError(const QString& message, const QString& path_, int error_)
        : UserError(message), path(path_), error(error_)
    {
    }
    QString path;
    int error;
};

// "Cannot create file "%s". %s" and "Unable to write to %s. %s", with the system's text for `error`.
FileError CannotCreateFile(const QString& path, int error);
FileError UnableToWriteTo(const QString& path, int error);

}  // namespace pw
