// Real programs and packages, made at test time, checked against each Windows a disc may hold.
#include "project/target/TargetCheck.h"

#include "InstallerFixtures.h"
#include "support/TempDir.h"

#include <QtEndian>

#include <functional>

#include <gtest/gtest.h>

using namespace pw;
using Kind = TargetFinding::Kind;

namespace {

// A C program built by MinGW's gcc for `machine` ("i686", "x86_64") with `flags`.
std::function<QString(const pwtest::TempDir&)> Program(const char* machine, const char* source, QStringList flags = {})
{
    return [=](const pwtest::TempDir& dir) {
        static int made = 0;
        const QString name = QStringLiteral("%1-%2.exe").arg(QLatin1String(machine)).arg(++made);
        dir.write("program.c", QByteArray("#include <windows.h>\n#include <bcrypt.h>\nint main(void) { ") + source + "; }\n");
        pwtest::RunTool(QStringLiteral("%1-w64-mingw32-gcc").arg(QLatin1String(machine)),
                        QStringList{QStringLiteral("-o"), name, QStringLiteral("program.c")} + flags, dir.path());
        return dir.path(name);
    };
}

// The smallest .NET image the loader's header reader accepts: one section that holds the CLR header and
// the metadata root naming `runtime`.
std::function<QString(const pwtest::TempDir&)> DotNetProgram(const QByteArray& runtime)
{
    return [=](const pwtest::TempDir& dir) {
        QByteArray image(0x400, '\0');
        auto put32 = [&](int at, quint32 value) { qToLittleEndian(value, image.data() + at); };
        auto put16 = [&](int at, quint16 value) { qToLittleEndian(value, image.data() + at); };
        image.replace(0, 2, "MZ");
        put32(0x3C, 0x40);
        image.replace(0x40, 4, QByteArray("PE\0\0", 4));
        put16(0x44, 0x014C);  // i386
        put16(0x46, 1);       // one section
        put16(0x54, 0xE0);    // the PE32 optional header's size
        put16(0x58, 0x10B);
        put16(0x58 + 48, 4);  // subsystem version 4.0
        put32(0x58 + 92, 16);
        put32(0x58 + 96 + 14 * 8, 0x1000);  // the CLR header
        put32(0x58 + 96 + 14 * 8 + 4, 72);
        const int section = 0x58 + 0xE0;
        image.replace(section, 5, ".text");
        put32(section + 8, 0x200);
        put32(section + 12, 0x1000);
        put32(section + 16, 0x200);
        put32(section + 20, 0x200);
        put32(0x200, 72);
        put32(0x208, 0x1048);  // the metadata
        image.replace(0x248, 4, "BSJB");
        put32(0x248 + 12, quint32(runtime.size() + 1));
        image.replace(0x248 + 16, runtime.size(), runtime);
        return dir.write("dotnet.exe", image);
    };
}

std::function<QString(const pwtest::TempDir&)> Package(int installerVersion)
{
    return [=](const pwtest::TempDir& dir) {
        QByteArray source = pwtest::ReadAll(QStringLiteral(PW_INSTALLER_SOURCES "/Package.wxs"));
        source.replace("InstallerVersion=\"200\"", "InstallerVersion=\"" + QByteArray::number(installerVersion) + '"');
        dir.write("wixl/readme.txt", "installed by the package\n");
        const QString name = QStringLiteral("package-%1.msi").arg(installerVersion);
        dir.write("wixl/Package.wxs", source);
        pwtest::RunTool(QStringLiteral("wixl"), {QStringLiteral("-o"), dir.path(name), QStringLiteral("Package.wxs")},
                        dir.path("wixl"));
        return dir.path(name);
    };
}

// A file named `name` holding `bytes`.
std::function<QString(const pwtest::TempDir&)> File(const char* name, const QByteArray& bytes)
{
    return [=](const pwtest::TempDir& dir) { return dir.write(QLatin1String(name), bytes); };
}

// The first half of what `make` makes, as a download cut short leaves it.
std::function<QString(const pwtest::TempDir&)> CutShort(const std::function<QString(const pwtest::TempDir&)>& make)
{
    return [=](const pwtest::TempDir& dir) {
        const QByteArray whole = pwtest::ReadAll(make(dir));
        return dir.write("cut.exe", whole.left(whole.size() / 2));
    };
}

struct Case {
    const char* name;
    std::function<QString(const pwtest::TempDir&)> make;
    WindowsTarget target;
    QList<TargetFinding> expected;
};

TEST(TargetCheck, EachStartFileOnEachWindows)
{
    const auto plain32 = Program("i686", "return (int)GetTickCount()");
    const auto plain64 = Program("x86_64", "return (int)GetTickCount()");
    const auto vista = Program("i686", "return 0", {QStringLiteral("-Wl,--major-subsystem-version,6")});
    const auto tick64 = Program("i686", "return (int)GetTickCount64()");
    const auto tick64On64 = Program("x86_64", "return (int)GetTickCount64()");
    const auto cng = Program("i686", "return (int)BCryptGenRandom(0, 0, 0, 0)", {QStringLiteral("-lbcrypt")});
    const auto nsis = [](const pwtest::TempDir& dir) { return pwtest::MakeNsisInstaller(dir, QStringLiteral("x86-unicode")); };
    const QByteArray dos = QByteArray("MZ") + QByteArray(62, '\0') + QByteArray(64, '\xC3');  // no PE header
    const Case cases[] = {
        {"empty .exe", File("empty.exe", {}), WindowsTarget::Xp, {{Kind::NotAProgram, {}}}},
        {"an .exe of two bytes", File("two.exe", "MZ"), WindowsTarget::Xp, {{Kind::NotAProgram, {}}}},
        {"random bytes", File("random.exe", QByteArray(4096, '\x5A').append("\x11\x22")), WindowsTarget::Xp,
         {{Kind::NotAProgram, {}}}},
        {"a program cut short", CutShort(plain32), WindowsTarget::Xp, {{Kind::NotAProgram, {}}}},
        {"DOS program", File("dos.exe", dos), WindowsTarget::Xp, {}},
        {"DOS program on XP x64", File("dos.exe", dos), WindowsTarget::Xp64, {{Kind::Machine, {"DOS"}}}},
        {"DOS .com image", File("tool.com", "\xB4\x4C\xCD\x21"), WindowsTarget::Server2003, {}},
        {"batch file", File("install.bat", "@echo off\r\n"), WindowsTarget::Xp, {}},
        {"i686 program", plain32, WindowsTarget::Xp, {}},
        {"x86-64 program on XP", plain64, WindowsTarget::Xp, {{Kind::Machine, {"x86-64"}}}},
        {"x86-64 program on Server 2003", plain64, WindowsTarget::Server2003, {{Kind::Machine, {"x86-64"}}}},
        {"x86-64 program on XP x64", plain64, WindowsTarget::Xp64, {}},
        {"Vista's subsystem version", vista, WindowsTarget::Xp, {{Kind::SubsystemVersion, {"6.0"}}}},
        {"Vista's subsystem version on XP x64", vista, WindowsTarget::Xp64, {{Kind::SubsystemVersion, {"6.0"}}}},
        {"a Vista function", tick64, WindowsTarget::Xp, {{Kind::MissingFunctions, {"GetTickCount64 (KERNEL32.dll)"}}}},
        {"a Vista function on XP x64", tick64On64, WindowsTarget::Xp64,
         {{Kind::MissingFunctions, {"GetTickCount64 (KERNEL32.dll)"}}}},
        {"a Vista library", cng, WindowsTarget::Server2003, {{Kind::MissingLibraries, {"bcrypt.dll"}}}},
        {"NSIS installer", nsis, WindowsTarget::Xp, {}},
        {"Windows Installer 3.1 package", Package(301), WindowsTarget::Xp, {}},
        {"Windows Installer 4.5 package", Package(405), WindowsTarget::Xp, {{Kind::InstallerDownload, {"4.5"}}}},
        {"Windows Installer 5.0 package", Package(500), WindowsTarget::Server2003, {{Kind::InstallerMissing, {"5.0"}}}},
        {".NET 2.0 program", DotNetProgram("v2.0.50727"), WindowsTarget::Xp, {{Kind::DotNet, {"v2.0.50727"}}}},
        {".NET 4 program", DotNetProgram("v4.0.30319"), WindowsTarget::Xp64, {{Kind::DotNet, {"v4.0.30319"}}}},
    };
    const pwtest::TempDir dir;
    for (const Case& c : cases) {
        EXPECT_EQ(CheckTarget(c.make(dir), c.target, QStringLiteral(PW_APPDIR)), c.expected) << c.name;
    }
}

// A library the program carries in its own folder is loaded from there.
TEST(TargetCheck, ALibraryBesideTheProgramIsNotMissing)
{
    const pwtest::TempDir dir;
    const QString program = Program("i686", "return (int)BCryptGenRandom(0, 0, 0, 0)", {QStringLiteral("-lbcrypt")})(dir);
    dir.write("BCrypt.DLL", "a copy of the library");
    EXPECT_TRUE(CheckTarget(program, WindowsTarget::Xp, QStringLiteral(PW_APPDIR)).isEmpty());
}

}  // namespace
