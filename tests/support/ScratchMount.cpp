#include "support/ScratchMount.h"

#include <QFile>

#include <sys/mount.h>

namespace pwtest {

ScratchMount::ScratchMount(qint64 sizeBytes)
{
    const QByteArray options = "size=" + QByteArray::number(sizeBytes) + ",mode=0777";
    mounted_ = dir_.isValid() &&
               ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, options.constData()) == 0;
}

ScratchMount::~ScratchMount()
{
    if (mounted_)
        ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
}

QString ScratchMount::path(const QString& relative) const
{
    return relative.isEmpty() ? dir_.path() : dir_.path() + QLatin1Char('/') + relative;
}

bool ScratchMount::makeReadOnly()
{
    return mounted_ && ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs",
                               MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

void ScratchMount::fillUp()
{
    QFile filler(path(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    const QByteArray byte(1, 'x');
    while (filler.write(byte) == 1) {
    }
}

}  // namespace pwtest
