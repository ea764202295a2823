#pragma once
// The one application object that tests of windows and dialogs need.
#include <QApplication>

namespace pwtest {

// Made on first use; deleted after the last test.
QApplication& TestApplication();

}  // namespace pwtest
