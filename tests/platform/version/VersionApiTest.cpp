// The platform's version-information functions: sizes, lookups, damaged data and large files.
#include "platform/version/PeResources.h"
#include "platform/version/VersionApi.h"
#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const QByteArray kTwoTranslations = PW_VERSION_FIXTURES "/two-translations-pe32plus.exe";

QByteArray ReadVersionData(const QByteArray& path)
{
    uint32_t handle = 1;
    const uint32_t size = pw::GetFileVersionInfoSizeA(path.constData(), &handle);
    EXPECT_EQ(handle, 0u);
    QByteArray data(qsizetype(size), '\x55');
    if (size != 0) {
        EXPECT_TRUE(pw::GetFileVersionInfoA(path.constData(), handle, size, data.data()));
    }
    return data;
}

struct Answer {
    bool found = false;
    std::string value;  // the bytes handed out, as many as the length says
    uint32_t length = 0;
};

Answer Query(QByteArray& data, const char* path, qsizetype blockSize = -1)
{
    const void* buffer = nullptr;
    Answer answer;
    answer.found = pw::VerQueryValueA(data.data(), uint32_t(blockSize < 0 ? data.size() : blockSize), path,
                                      &buffer, &answer.length);
    if (answer.found)
        answer.value.assign(static_cast<const char*>(buffer), answer.length);
    return answer;
}

uint16_t Le16(const QByteArray& data, int at)
{
    return uint16_t(uint8_t(data[at]) | uint8_t(data[at + 1]) << 8);
}

TEST(VersionQuery, SizeLeavesRoomForTheAnsiCopiesAndTheDataIsMarked)
{
    const QByteArray data = ReadVersionData(kTwoTranslations);
    const uint16_t resourceLength = Le16(data, 0);
    EXPECT_EQ(data.size(), resourceLength * 2 + 4);
    EXPECT_EQ(data.mid(resourceLength, 4), QByteArray("FE2X"));
    EXPECT_EQ(data.mid(resourceLength + 4), QByteArray(resourceLength, '\0'));  // nothing left over
    EXPECT_EQ(pw::GetFileVersionInfoSizeA(PW_VERSION_FIXTURES "/no-version-pe32.exe", nullptr), 0u);
    EXPECT_EQ(pw::GetFileVersionInfoSizeA("", nullptr), 0u);
    EXPECT_EQ(pw::GetFileVersionInfoSizeA(nullptr, nullptr), 0u);
    EXPECT_EQ(pw::GetFileVersionInfoSizeA(PW_VERSION_FIXTURES, nullptr), 0u);
}

TEST(VersionQuery, ANamedPipeIsNotWaitedOn)
{
    const pwtest::TempDir dir;
    const QByteArray pipe = QFile::encodeName(dir.path(QStringLiteral("setup.exe")));
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    EXPECT_EQ(pw::GetFileVersionInfoSizeA(pipe.constData(), nullptr), 0u);
}

TEST(VersionQuery, PathsMatchWholeKeysWithoutRegardToCase)
{
    QByteArray data = ReadVersionData(kTwoTranslations);
    EXPECT_EQ(Query(data, "\\StringFileInfo\\041604E4\\ProductVersion").value, std::string("5.6.7.8", 8));
    EXPECT_EQ(Query(data, "\\\\stringfileinfo\\041604e4\\\\PRODUCTVERSION\\").value, std::string("5.6.7.8", 8));
    EXPECT_FALSE(Query(data, "\\StringFileInfo\\041604E4\\Product").found);
    EXPECT_EQ(Query(data, "\\StringFileInfo\\041604E4\\ProductName").value, std::string(1, '\0'));
    EXPECT_FALSE(Query(data, "\\StringFileInfo\\\\ProductVersion").found);  // no translation key
    // No falling back to another table.
    EXPECT_FALSE(Query(data, "\\StringFileInfo\\041604E4\\PrivateBuild").found);
    EXPECT_TRUE(Query(data, "\\StringFileInfo\\040904E4\\PrivateBuild").found);
    // A table itself is found and has no value.
    const Answer table = Query(data, "\\StringFileInfo\\041604E4");
    EXPECT_TRUE(table.found);
    EXPECT_EQ(table.length, 0u);
    // A failed lookup leaves the caller's pointer alone.
    const void* buffer = &data;
    uint32_t length = 99;
    EXPECT_FALSE(pw::VerQueryValueA(data.data(), uint32_t(data.size()), "\\Nothing", &buffer, &length));
    EXPECT_EQ(buffer, &data);
    EXPECT_EQ(length, 0u);
}

TEST(VersionQuery, BinaryValuesComeRaw)
{
    QByteArray data = ReadVersionData(kTwoTranslations);
    // FILEVERSION 1,2,3,4 and PRODUCTVERSION 5,6,7,8 of the resource script.
    const Answer fixed = Query(data, "\\");
    ASSERT_EQ(fixed.length, 52u);
    EXPECT_EQ(fixed.value.substr(0, 4), std::string("\xBD\x04\xEF\xFE"));
    EXPECT_EQ(fixed.value.substr(8, 8), std::string("\x02\0\x01\0\x04\0\x03\0", 8));
    EXPECT_EQ(fixed.value.substr(16, 8), std::string("\x06\0\x05\0\x08\0\x07\0", 8));
    EXPECT_EQ(Query(data, nullptr).length, 52u);
    EXPECT_EQ(Query(data, "\\VarFileInfo\\Translation").value, std::string("\x16\x04\xE4\x04\x09\x04\xE4\x04", 8));
}

TEST(VersionQuery, ABlockCutShortIsNotReadPastItsEnd)
{
    QByteArray data = ReadVersionData(kTwoTranslations);
    const uint16_t resourceLength = Le16(data, 0);
    // Only the resource, no room for the copy: the string cannot be handed out, the binary value can.
    EXPECT_FALSE(Query(data, "\\StringFileInfo\\041604E4\\CompanyName", resourceLength).found);
    EXPECT_TRUE(Query(data, "\\VarFileInfo\\Translation", resourceLength).found);
    for (const qsizetype size : {0, 1, 2, 7, 40, 100, 200, 400}) {
        QByteArray cut = data.left(size);
        EXPECT_FALSE(Query(cut, "\\VarFileInfo\\Translation").found) << size;
    }
}

// A version node: header, key, value, children, each part padded to 4 bytes.
QByteArray Node(const QString& key, const QByteArray& value, const QByteArray& children = {}, uint16_t type = 1,
                int lengthChange = 0, int valueLength = -1)
{
    QByteArray node(6, '\0');
    node.append(reinterpret_cast<const char*>(key.utf16()), key.size() * 2).append(2, '\0');
    node.append((4 - node.size() % 4) % 4, '\0');
    node.append(value).append((4 - node.size() % 4) % 4, '\0').append(children);
    const int length = int(node.size()) + lengthChange;
    const int declared = valueLength >= 0 ? valueLength : int(type == 1 ? value.size() / 2 : value.size());
    const uint16_t header[3] = {uint16_t(length), uint16_t(declared), type};
    std::memcpy(node.data(), header, sizeof header);
    return node;
}

QByteArray Utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), (text.size() + 1) * 2);
}

QByteArray WithRoomForCopies(const QByteArray& resource)
{
    return resource + QByteArray(resource.size() + 4, '\0');
}

QByteArray StringTable(const QByteArray& strings)
{
    return Node(u"VS_VERSION_INFO"_qs, {},
                Node(u"StringFileInfo"_qs, {}, Node(u"00000000"_qs, {}, strings)), 0);
}

TEST(VersionQuery, DamagedNodesEndTheSearchInsteadOfReadingOn)
{
    const char* path = "\\StringFileInfo\\00000000\\Name";
    // A sibling of length 0 would never let the walk move on.
    QByteArray stuck = WithRoomForCopies(StringTable(Node(u"Other"_qs, Utf16(u"x"_qs))));
    stuck[stuck.indexOf("O\0t\0h", 0) - 6] = 0;
    stuck[stuck.indexOf("O\0t\0h", 0) - 5] = 0;
    EXPECT_FALSE(Query(stuck, path).found);
    // A key that runs to the end of its node without a NUL.
    QByteArray unterminated = StringTable(Node(u"Name"_qs, {}));
    unterminated.chop(4);
    unterminated[0] = char(unterminated.size());
    unterminated[1] = char(unterminated.size() >> 8);
    unterminated = WithRoomForCopies(unterminated);
    EXPECT_FALSE(Query(unterminated, path).found);
    // A node claiming more than its parent holds is cut to the parent.
    QByteArray overlong = WithRoomForCopies(StringTable(Node(u"Name"_qs, Utf16(u"value"_qs), {}, 1, 0, 4000)));
    EXPECT_EQ(Query(overlong, path).value, std::string("value", 6));
}

TEST(VersionQuery, StringsMarkedBinaryOrCountedInBytesAreStillText)
{
    const char* path = "\\StringFileInfo\\00000000\\Name";
    QByteArray binary = WithRoomForCopies(StringTable(Node(u"Name"_qs, Utf16(u"Olá"_qs), {}, 0)));
    EXPECT_EQ(Query(binary, path).value, std::string("Ol\xE1", 4));
    QByteArray noNul = WithRoomForCopies(StringTable(Node(u"Name"_qs, QByteArray("a\0b\0", 4))));
    EXPECT_EQ(Query(noNul, path).value, std::string("ab", 3));
    QByteArray declaredEmpty = WithRoomForCopies(StringTable(Node(u"Name"_qs, {}, {}, 1, 0, 0)));
    const Answer empty = Query(declaredEmpty, path);
    EXPECT_TRUE(empty.found);
    EXPECT_EQ(empty.length, 0u);
}

// Holds a small image at the start of a file of several gigabytes and counts what is read.
class HugeSource : public pw::ByteSource {
public:
    explicit HugeSource(const QByteArray& start) : start_(start) {}
    uint64_t Size() const override { return uint64_t(6) << 30; }
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override
    {
        if (!Holds(offset, out.size()))
            return false;
        bytesRead += out.size();
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = offset + i < uint64_t(start_.size()) ? uint8_t(start_[qsizetype(offset + i)]) : 0;
        return true;
    }
    uint64_t bytesRead = 0;

private:
    QByteArray start_;
};

TEST(VersionQuery, AHugeFileIsNotReadWhole)
{
    QFile fixture(QString::fromLatin1(kTwoTranslations));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    HugeSource source(fixture.readAll());
    const auto resource = pw::ReadVersionResource(source, pw::PreferredResourceLanguages());
    ASSERT_TRUE(resource.has_value());
    EXPECT_LT(source.bytesRead, 4096u);

    // And a real file of that size, all but its start a hole, answers as the small one does.
    const pwtest::TempDir dir;
    const QString huge = dir.path(QStringLiteral("huge.exe"));
    ASSERT_TRUE(QFile::copy(fixture.fileName(), huge));
    ASSERT_TRUE(QFile::resize(huge, qint64(5) << 30));
    EXPECT_EQ(pw::GetFileVersionInfoSizeA(QFile::encodeName(huge).constData(), nullptr),
              pw::GetFileVersionInfoSizeA(kTwoTranslations.constData(), nullptr));
}

std::string LanguageName(uint32_t language, uint32_t size = 256)
{
    std::vector<char> name(size + 1, '\x7F');
    const uint32_t length = pw::VerLanguageNameA(language, name.data(), size);
    EXPECT_EQ(name[size], '\x7F') << "written past the buffer";
    EXPECT_EQ(std::strlen(name.data()), length);
    return name.data();
}

// The names are given in the program's chosen language, whatever the host's locale says: the same
// settings give the same add-on under any LANG.
TEST(VersionQuery, LanguageNamesAreDisplayNamesInTheProgramsLanguageNotTheHosts)
{
    setenv("LANG", "de_DE.UTF-8", 1);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    pw::SetLanguageNameLocale("pt_BR");
    EXPECT_EQ(LanguageName(0x0416), "Portugu\xEAs (Brasil)");
    EXPECT_EQ(LanguageName(0x0409), "Ingl\xEAs (Estados Unidos)");
    pw::SetLanguageNameLocale("en");
    unsetenv("LC_ALL");
    EXPECT_EQ(LanguageName(0x0416), "Portuguese (Brazil)");
    EXPECT_EQ(LanguageName(0x0409), "English (United States)");
    EXPECT_EQ(LanguageName(0x0804), "Chinese (Simplified, China)");
    EXPECT_EQ(LanguageName(0x0000), "Language Neutral");
    EXPECT_EQ(LanguageName(0x7FFF), "Language Neutral");
    EXPECT_EQ(LanguageName(0x0416, 5), "Port");
    EXPECT_EQ(LanguageName(0x0416, 1), "");
    EXPECT_EQ(pw::VerLanguageNameA(0x0416, nullptr, 10), 0u);
}

}  // namespace
