#pragma once
// The programs of this machine that a try needs, and whether they are there: Wine (its 64-bit loader, and
// the 32-bit one where the system runs 32-bit programs), its server, the virtual display Xvfb and 7-Zip,
// which takes the cabinet apart.
#include "tryout/TryTexts.h"

#include <QString>

namespace pw {

struct TryTools {
    QString wine64;  // the 64-bit loader
    QString wine32;  // the 32-bit loader; empty when it is not installed
    QString wineserver;
    QString xvfb;
    QString sevenZip;
};

// Where Debian installs them (the Wine loaders lie outside the PATH there), or else on the PATH. A
// program that is found nowhere is left empty.
TryTools FindTryTools();

struct HostCheck {
    QString missing;  // what is missing and how to install it; empty when nothing is
    bool wine32Installed = false;
    bool runs32Bit = false;  // the 32-bit loader starts: 32-bit programs run as they are
};

// Checks `tools`. With `allow32Bit` false the host is taken for one whose Wine runs only 64-bit programs.
HostCheck CheckHost(const TryTools& tools, bool allow32Bit, const TryTexts& texts);

}  // namespace pw
