#pragma once
// Test helpers: a scratch folder removed after the test, and small file utilities.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

namespace pwtest {

class TempDir {
public:
    TempDir();
    // Full path of `relative` inside the folder, with "/" between.
    QString path(const QString& relative = QString()) const;
    // Writes `bytes` to `relative`, creating the folders on the way; returns the full path.
    QString write(const QString& relative, const QByteArray& bytes = QByteArray()) const;
    // Creates the folder `relative` (and its parents); returns the full path with a trailing "/".
    QString mkdir(const QString& relative) const;

private:
    QTemporaryDir dir_;
};

QByteArray ReadAll(const QString& path);
bool Exists(const QString& path);
// Paths relative to `folder` of everything below it, hidden entries and folders too, sorted; empty when
// it does not exist.
QStringList EntriesBelow(const QString& folder);
// The one folder directly in `folder` (a build's scratch folder in DataDir/temp), ending in "/"; empty
// when there is none or more than one.
QString OnlyFolderIn(const QString& folder);

}  // namespace pwtest

// Readable values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os)
{
    *os << '"' << b.toStdString() << '"';
}
