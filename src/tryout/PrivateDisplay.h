#pragma once
// The virtual display a try runs on: an Xvfb server of its own, on a display number it picks itself, that
// only holders of a fresh cookie may use, so that nothing the add-on shows reaches the user's screen and
// nothing else reaches the add-on's windows.
#include "tryout/ChildRun.h"

#include <QByteArray>
#include <QProcess>
#include <QString>

namespace pw {

class TryUi;
struct TryTools;

// The authority file of one cookie that any display of this machine accepts (the family "wild", as
// xauth writes for a server whose number is not known yet).
QByteArray AuthorityEntry(const QByteArray& cookie);

class PrivateDisplay {
public:
    // The authority file and the server's messages go into `folder`.
    explicit PrivateDisplay(const QString& folder);
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    RunEnd Start(const TryTools& tools, TryUi& ui, QString* error);
    void Stop();

    QString name() const { return name_; }  // ":N"
    QString authorityFile() const { return folder_ + QStringLiteral("/xauthority"); }
    QByteArray cookie() const { return cookie_; }

private:
    QString folder_;
    QString name_;
    QByteArray cookie_;
    QProcess server_;
};

}  // namespace pw
