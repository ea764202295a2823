#pragma once
// The one application object that tests of windows and dialogs need.
#include <QApplication>

namespace pwtest {

// Made on first use and never destroyed: Qt's own objects (input devices, the platform plug-in) must not
// be torn down by the exit handlers in an order Qt does not expect.
QApplication& TestApplication();

}  // namespace pwtest
