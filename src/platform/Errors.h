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

}  // namespace pw
