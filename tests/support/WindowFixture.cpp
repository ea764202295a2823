#include "support/WindowFixture.h"

#include "support/TestApplication.h"

#include "gui/FolderEdit.h"

#include <QComboBox>
#include <QTimer>

namespace pwtest {

WindowFixture::WindowFixture(const QStringList& arguments)
{
    TestApplication();
    dir.mkdir("app/languages");
    dir.mkdir("data/temp");
    form = std::make_unique<pw::TMainForm>(dialogs, arguments);
    form->Timer1->stop();
    form->Model.AppDir = dir.path("app/");
    form->Model.DataDir = dir.path("data/");
    program = dir.mkdir("program").chopped(1);
}

void WindowFixture::Pick(QComboBox* box, const QString& text)
{
    box->setCurrentIndex(box->findText(text));
}

void WindowFixture::Scan(const QString& folder)
{
    form->Pasta->setText(folder);
    form->PastaExit();
}

void WindowFixture::Choose(const QString& startFile)
{
    Pick(form->Programa, startFile);
    form->ProgramaChange();
}

}  // namespace pwtest
