#include "PeImports.h"

#include "platform/version/LittleEndian.h"

#include <optional>
#include <span>

namespace pwtest {
namespace {

using pw::LoadLe16;
using pw::LoadLe32;

constexpr uint16_t kPe32Magic = 0x10b;
constexpr uint16_t kPe32PlusMagic = 0x20b;
constexpr int kImportDirectory = 1;
constexpr int kDelayImportDirectory = 13;
// More than any real program has; a loop that gets this far is reading garbage.
constexpr int kMaxEntries = 10000;

class PeFile {
public:
    explicit PeFile(const QByteArray& bytes)
        : bytes_(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()))
    {
    }

    bool Has(size_t offset, size_t size) const { return offset <= bytes_.size() && size <= bytes_.size() - offset; }
    uint16_t U16(size_t offset) const { return LoadLe16(bytes_, offset); }
    uint32_t U32(size_t offset) const { return LoadLe32(bytes_, offset); }
    uint64_t U64(size_t offset) const { return U32(offset) | uint64_t(U32(offset + 4)) << 32; }

    // Reads the section table that follows the optional header.
    bool ReadSections(size_t table, unsigned count, uint32_t sizeOfHeaders)
    {
        if (!Has(table, size_t(count) * 40))
            return false;
        headers_ = sizeOfHeaders;
        for (unsigned i = 0; i < count; ++i) {
            const size_t s = table + i * 40;
            sections_.push_back({U32(s + 12), std::max(U32(s + 8), U32(s + 16)), U32(s + 20), U32(s + 16)});
        }
        return true;
    }

    // The file offset of `size` bytes at the relative virtual address `rva`, when the file holds them.
    std::optional<size_t> Offset(uint32_t rva, size_t size) const
    {
        if (rva < headers_ && Has(rva, size))
            return rva;
        for (const Section& s : sections_) {
            if (rva >= s.address && rva - s.address < s.extent) {
                const size_t into = rva - s.address;
                if (into + size > s.rawSize || !Has(size_t(s.rawOffset) + into, size))
                    return std::nullopt;
                return s.rawOffset + into;
            }
        }
        return std::nullopt;
    }

    std::optional<QString> Text(uint32_t rva) const
    {
        const std::optional<size_t> start = Offset(rva, 1);
        if (!start)
            return std::nullopt;
        QByteArray text;
        for (size_t at = *start; Has(at, 1); ++at) {
            if (bytes_[at] == 0)
                return QString::fromLatin1(text);
            text += char(bytes_[at]);
        }
        return std::nullopt;
    }

private:
    struct Section {
        uint32_t address, extent, rawOffset, rawSize;
    };
    std::span<const uint8_t> bytes_;
    std::vector<Section> sections_;
    uint32_t headers_ = 0;
};

// Walks a table of import thunks (4 or 8 bytes each, ended by zero) and adds the names it refers to.
QString ReadThunks(const PeFile& pe, uint32_t rva, bool wide, std::set<QString>& functions)
{
    const size_t step = wide ? 8 : 4;
    for (int i = 0; i < kMaxEntries; ++i, rva += uint32_t(step)) {
        const std::optional<size_t> at = pe.Offset(rva, step);
        if (!at)
            return QStringLiteral("an import thunk lies outside the file");
        const uint64_t thunk = wide ? pe.U64(*at) : pe.U32(*at);
        if (thunk == 0)
            return {};
        const uint64_t ordinalFlag = wide ? uint64_t(1) << 63 : uint64_t(1) << 31;
        if (thunk & ordinalFlag) {
            functions.insert(QStringLiteral("#%1").arg(thunk & 0xffff));
            continue;
        }
        const std::optional<QString> name = pe.Text(uint32_t(thunk) + 2);  // after the two-byte hint
        if (!name)
            return QStringLiteral("an imported name lies outside the file");
        functions.insert(*name);
    }
    return QStringLiteral("an import thunk table does not end");
}

QString ReadImports(const PeFile& pe, uint32_t rva, bool wide, PeFacts& facts)
{
    for (int i = 0; i < kMaxEntries; ++i, rva += 20) {
        const std::optional<size_t> at = pe.Offset(rva, 20);
        if (!at)
            return QStringLiteral("an import descriptor lies outside the file");
        const uint32_t names = pe.U32(*at), dllName = pe.U32(*at + 12), addresses = pe.U32(*at + 16);
        if (names == 0 && dllName == 0 && addresses == 0)
            return {};
        const std::optional<QString> dll = pe.Text(dllName);
        if (!dll)
            return QStringLiteral("an imported DLL's name lies outside the file");
        const QString error = ReadThunks(pe, names ? names : addresses, wide, facts.imports[dll->toLower()]);
        if (!error.isEmpty())
            return error;
    }
    return QStringLiteral("the import directory does not end");
}

}  // namespace

PeFacts ReadPeFacts(const QByteArray& file)
{
    PeFacts facts;
    PeFile pe(file);
    if (!pe.Has(0, 0x40) || pe.U16(0) != 0x5a4d) {
        facts.error = QStringLiteral("no MZ header");
        return facts;
    }
    const size_t coff = pe.U32(0x3c) + size_t(4);
    if (!pe.Has(coff - 4, 24) || pe.U32(coff - 4) != 0x4550) {
        facts.error = QStringLiteral("no PE signature");
        return facts;
    }
    facts.machine = pe.U16(coff);
    const unsigned sectionCount = pe.U16(coff + 2);
    const size_t optional = coff + 20, optionalSize = pe.U16(coff + 16);
    if (optionalSize < 2 || !pe.Has(optional, optionalSize)) {
        facts.error = QStringLiteral("the optional header is cut off");
        return facts;
    }
    const uint16_t magic = pe.U16(optional);
    facts.pe32 = magic == kPe32Magic;
    const size_t directories = optional + (facts.pe32 ? 96 : 112);
    if ((magic != kPe32Magic && magic != kPe32PlusMagic) || directories + 16 * 8 > optional + optionalSize) {
        facts.error
            = QStringLiteral("unknown optional header (magic %1, %2 bytes)").arg(magic, 0, 16).arg(optionalSize);
        return facts;
    }
    facts.osMajor = pe.U16(optional + 40);
    facts.osMinor = pe.U16(optional + 42);
    facts.subsystemMajor = pe.U16(optional + 48);
    facts.subsystemMinor = pe.U16(optional + 50);
    if (!pe.ReadSections(optional + optionalSize, sectionCount, pe.U32(optional + 60))) {
        facts.error = QStringLiteral("the section table is cut off");
        return facts;
    }
    facts.delayImports = pe.U32(directories + kDelayImportDirectory * 8) != 0;
    if (const uint32_t imports = pe.U32(directories + kImportDirectory * 8))
        facts.error = ReadImports(pe, imports, !facts.pe32, facts);
    return facts;
}

}  // namespace pwtest
