// The launcher of the installed program lays out a new user's data folder. Run here from a copy of the
// install layout whose program only records that it was started.
#include "language/Settings.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct Layout {
    pwtest::TempDir dir;

    Layout()
    {
        const QFile::Permissions runnable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        dir.mkdir("bin");
        EXPECT_TRUE(QFile::copy(QStringLiteral(PW_LAUNCHER), dir.path("bin/packwright")));
        QFile::setPermissions(dir.path("bin/packwright"), runnable);
        QFile::setPermissions(dir.write("lib/packwright/packwright", "#!/bin/sh\ntouch \"$0.started\"\n"), runnable);
        dir.write("share/packwright/Silence.qmr", "Atualiza\xE7\xE3o, /quiet\r\n");
        dir.write("share/packwright/Silence-en.qmr", "Update, /quiet\r\n");
    }

    // Starts the launcher with only these locale variables set.
    void Start(const QStringList& locale) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            env.remove(QString::fromLatin1(name));
        for (const QString& variable : locale)
            env.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path("home"));
        QProcess launcher;
        launcher.setProcessEnvironment(env);
        launcher.start(dir.path("bin/packwright"), {});
        EXPECT_TRUE(launcher.waitForFinished(30000));
        EXPECT_EQ(launcher.exitCode(), 0) << launcher.readAllStandardError().toStdString();
        EXPECT_TRUE(pwtest::Exists(dir.path("lib/packwright/packwright.started")));
    }
    QString DataDir() const { return dir.path("home/Brontel/Packwright/"); }
    // The language the window applies when it starts on this data folder, with the shipped languages.
    QString WindowLanguage() const { return pw::StoredLanguage(QStringLiteral(PW_APPDIR "/"), DataDir()); }
};

}  // namespace

// The launcher and packwright-build choose a first start's language alike.
TEST(Launcher, AFirstStartOpensInTheLanguageOfTheLocale)
{
    const std::pair<QStringList, QString> cases[] = {
        {{"LANG=en_US.UTF-8"}, "English"},
        {{"LANG=pt_BR.UTF-8"}, "Português (Brasil)"},
        {{"LANG=pt_PT"}, "Português (Brasil)"},
        {{}, "English"},
        {{"LANG=C.UTF-8"}, "English"},
        {{"LANG=en_US.UTF-8", "LC_MESSAGES=pt_BR.UTF-8"}, "Português (Brasil)"},
        {{"LANG=pt_BR.UTF-8", "LC_MESSAGES=de_DE.UTF-8"}, "English"},
        {{"LC_ALL=pt_BR.UTF-8", "LC_MESSAGES=en_US.UTF-8"}, "Português (Brasil)"},
    };
    for (const auto& [locale, language] : cases) {
        const Layout layout;
        layout.Start(locale);
        EXPECT_EQ(layout.WindowLanguage(), language) << locale.join(' ').toStdString();
        EXPECT_TRUE(pwtest::Exists(layout.DataDir() + "temp"));
        // The catalogue's names speak the same language.
        EXPECT_EQ(pwtest::ReadAll(layout.DataDir() + "Silence.qmr"),
                  language == QStringLiteral("English") ? "Update, /quiet\r\n" : "Atualiza\xE7\xE3o, /quiet\r\n")
            << locale.join(' ').toStdString();
    }
}

TEST(Launcher, AnExistingSettingsFileOrCatalogueIsNeverChanged)
{
    const Layout layout;
    const QByteArray settings = "[Main]\r\nLanguage=Portugu\xEAs (Brasil)\r\n";
    layout.dir.write("home/Brontel/Packwright/config.qmr", settings);
    layout.dir.write("home/Brontel/Packwright/Silence.qmr", "Mine, /quiet\r\n");
    layout.Start({"LANG=en_US.UTF-8"});
    EXPECT_EQ(pwtest::ReadAll(layout.DataDir() + "config.qmr"), settings);
    EXPECT_EQ(pwtest::ReadAll(layout.DataDir() + "Silence.qmr"), "Mine, /quiet\r\n");

    // Nor is one the user emptied: no language chosen stays so.
    layout.dir.write("home/Brontel/Packwright/config.qmr", "");
    layout.Start({"LANG=en_US.UTF-8"});
    EXPECT_EQ(pwtest::ReadAll(layout.DataDir() + "config.qmr"), QByteArray());
}
