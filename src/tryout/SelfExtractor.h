#pragma once
// What a try needs to know of the files an add-on runs: whether a program is 32-bit, and how one of our
// self-extractors is joined (module, configuration block, 7z archive, with nothing between them), so that
// its module can be exchanged for another build.
#include "platform/version/PeImage.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace pw {

// The machine field of a PE file's header; 0 when `path` is not a PE file.
quint16 PeMachine(const QString& path);

struct SelfExtractorParts {
    qint64 moduleSize = 0;
    QByteArray block;          // from ";!@Install@!UTF-8!" through ";!@InstallEnd@!"
    qint64 archiveOffset = 0;  // where the 7z archive starts, right after the block
};

// The parts of `path` when it starts with the bytes of `module`, the self-extractor module of this
// program, followed by a configuration block.
std::optional<SelfExtractorParts> ReadSelfExtractor(const QString& path, const QByteArray& module);

// The RunProgram value of a configuration block: what the self-extractor runs once it has extracted.
QString RunProgram(const QByteArray& block);

// Writes `module`, the block and the archive file `archive` into `target`, replacing it.
bool JoinSelfExtractor(const QString& target, const QByteArray& module, const QByteArray& block,
                       const QString& archive);

// Copies the bytes of `source` from `offset` to its end into the new file `target`.
bool CopyTail(const QString& source, qint64 offset, const QString& target);

}  // namespace pw
