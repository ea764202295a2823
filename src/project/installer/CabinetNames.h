#pragma once
// The names of the files a cabinet lists, read from as much of its start as is at hand: enough to see
// what program a cabinet self-extractor carries without reading the cabinet.
#include <QByteArray>
#include <QList>

#include <cstdint>
#include <span>

namespace pw {

// The file names (as stored, with "\" between folders) of the cabinet at the start of `bytes`, in
// their order, up to `limit` of them and up to the end of `bytes`; empty when `bytes` does not begin
// with a cabinet header.
QList<QByteArray> CabinetFileNames(std::span<const uint8_t> bytes, int limit);

}  // namespace pw
