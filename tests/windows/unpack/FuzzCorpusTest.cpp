// Replays the fuzzer's corpus through the same entry point, so that the sanitizer build of the tests
// checks every input that once took the reader somewhere new.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(UnpackFuzzCorpus, EveryInputIsReadSafely)
{
    const QDir corpus(QStringLiteral(PW_UNPACK_CORPUS));
    const QStringList inputs = corpus.entryList(QDir::Files);
    ASSERT_FALSE(inputs.isEmpty());
    for (const QString& name : inputs) {
        QFile input(corpus.filePath(name));
        ASSERT_TRUE(input.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = input.readAll();
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0);
    }
}
