#include "support/FuzzCorpus.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace pwtest {

void ReplayFuzzCorpus(const QString& corpus, FuzzEntry entry)
{
    const QDir folder(corpus);
    const QStringList inputs = folder.entryList(QDir::Files);
    ASSERT_FALSE(inputs.isEmpty()) << corpus.toStdString();
    for (const QString& name : inputs) {
        QFile input(folder.filePath(name));
        ASSERT_TRUE(input.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = input.readAll();
        EXPECT_EQ(entry(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())), 0)
            << name.toStdString();
    }
}

}  // namespace pwtest
