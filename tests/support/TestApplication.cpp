#include "support/TestApplication.h"

#include <gtest/gtest.h>

namespace pwtest {
namespace {

// Deletes the application once the tests have run, while main() still runs: left to the exit handlers,
// it would be torn down after objects of Qt's own that it still refers to.
class ApplicationOwner : public ::testing::Environment {
public:
    explicit ApplicationOwner(QApplication* app) : app_(app) {}
    void TearDown() override
    {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_;
};

}  // namespace

QApplication& TestApplication()
{
    static int argc = 1;
    static char name[] = "packwright_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* const app = [] {
        auto* made = new QApplication(argc, argv);
        ::testing::AddGlobalTestEnvironment(new ApplicationOwner(made));
        return made;
    }();
    return *app;
}

}  // namespace pwtest
