#pragma once
// The block exactly as the build writes it, with an archive's first bytes after it, read back by the
// module's parser.
#include "Block.h"
#include "pipeline/PackStep.h"

#include <QByteArray>

namespace pwtest {

inline QByteArray WithArchive(const QByteArray& block)
{
    return block + QByteArray("7z\xBC\xAF\x27\x1C", 6) + "the rest of the archive";
}

struct ReadBlock {
    SfxBlock config{};
    SfxBlockResult result;
    explicit ReadBlock(const QByteArray& bytes)
        : result(SfxBlock_Read(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()), &config))
    {
    }
    ReadBlock(const ReadBlock&) = delete;
    ReadBlock& operator=(const ReadBlock&) = delete;
    ~ReadBlock() { SfxBlock_Free(&config); }
};

inline pw::BuildInputs StartFile(const QString& startFile, const QString& silentSwitch = {}, int overwriteMode = 0)
{
    pw::BuildInputs in;
    in.startFile = startFile;
    in.silentSwitch = silentSwitch;
    in.overwriteMode = overwriteMode;
    return in;
}

}  // namespace pwtest
