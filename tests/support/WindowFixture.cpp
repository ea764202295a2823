#include "support/WindowFixture.h"

#include "support/TestApplication.h"

#include <QTimer>

namespace pwtest {

WindowFixture::WindowFixture(const QStringList& arguments)
{
    TestApplication();
    dir.mkdir("app/languages");
    dir.mkdir("data/temp");
    form = std::make_unique<pw::TMainForm>(dialogs, arguments);
    form->Timer1->stop();
    form->AppDir = dir.path("app/");
    form->DataDir = dir.path("data/");
}

}  // namespace pwtest
