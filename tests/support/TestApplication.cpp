#include "support/TestApplication.h"

namespace pwtest {

QApplication& TestApplication()
{
    static int argc = 1;
    static char name[] = "packwright_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* const app = new QApplication(argc, argv);
    return *app;
}

}  // namespace pwtest
