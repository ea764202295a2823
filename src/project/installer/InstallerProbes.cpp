// Each probe says where its facts come from. Documents cited: [MS-CFB] Compound File Binary File Format
// (Microsoft's open protocol documents), [MS-CAB] Cabinet File Format (the same), the NSIS source's fileform.h,
// the Inno Setup source (Shared.Struct.pas), the WiX source (burn/stub/StubSection.cpp), 7-Zip's
// 7zFormat.txt and its help page on the -sfx switch, RARLAB's RAR 5.0 archive format page, and Microsoft
// Knowledge Base articles 262841 (software update packages) and 197147 (IExpress packages).
#include "project/installer/InstallerProbes.h"

#include "project/installer/CabinetNames.h"
#include "platform/version/LittleEndian.h"

#include <zlib.h>

#include <iterator>

namespace pw {
namespace {

using Kind = std::optional<InstallerKind>;

constexpr uint32_t kRcData = 10;  // RT_RCDATA

QByteArray Bytes(const char* text, qsizetype size)
{
    return QByteArray(text, size);
}

// [MS-CFB] 2.2: every compound file, and so every Windows Installer package, begins with these 8 bytes.
const QByteArray kCompoundFileSignature = Bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// msiexec installs an .msi start file whatever its name says, but a file named .exe is started as a
// program, so only the extension together with the signature makes a package.
Kind WindowsInstaller(InstallerEvidence& e)
{
    if (e.LowerExtension() == u".msi" && StartsWith(e.Head(), kCompoundFileSignature))
        return InstallerKind::WindowsInstaller;
    return std::nullopt;
}

// Everything below is an executable image: anything else is nothing this table knows.
uint32_t Crc32(std::span<const uint8_t> bytes)
{
    return uint32_t(crc32(0, bytes.data(), uInt(bytes.size())));
}

Kind NotAnImage(InstallerEvidence& e)
{
    return e.IsPe() ? std::nullopt : Kind(InstallerKind::Unknown);
}

// WiX's StubSection.cpp: the Burn engine carries a section ".wixburn" that starts with the magic
// 0x00F14300, where the bundle's containers are recorded.
Kind WixBurn(InstallerEvidence& e)
{
    const PeSection* section = e.Image().FindSection(QByteArrayLiteral(".wixburn"));
    if (!section || section->rawSize < 4)
        return std::nullopt;
    const auto magic = ReadBytes(e.Image().Source(), section->rawOffset, 4);
    return magic && LoadLe32(*magic, 0) == 0x00F14300 ? Kind(InstallerKind::WixBurn) : std::nullopt;
}

// NSIS's fileform.h: the installer data begins with the "first header": 4 bytes of flags, the signature
// 0xDEADBEEF, then "NullsoftInst". The installer looks for it at 512-byte boundaries of the file; it
// lies at the first of them after the image.
Kind Nsis(InstallerEvidence& e)
{
    static const QByteArray kFirstHeader = Bytes("\xEF\xBE\xAD\xDENullsoftInst", 16);
    const auto overlay = e.Overlay();
    for (uint64_t at = (512 - e.OverlayOffset() % 512) % 512; at + 4 + kFirstHeader.size() <= overlay.size();
         at += 512) {
        if (StartsWith(overlay.subspan(size_t(at) + 4), kFirstHeader))
            return InstallerKind::Nsis;
    }
    return std::nullopt;
}

// Inno Setup's Shared.Struct.pas (Struct.pas before 6.0): the setup loader finds its data through an
// offset table in the RCDATA resource 11111 (SetupLdrOffsetTableResID), whose identifier begins "rDlPtS"
// and ends in bytes that changed between releases; loaders before 5.1.5 kept "Inno"
// (SetupLdrExeHeaderID) at file offset 0x30, in the DOS header's reserved words. The data itself
// ("setup-0") begins "Inno Setup Setup Data (version)".
Kind InnoSetup(InstallerEvidence& e)
{
    static const QByteArray kOffsetTableId = QByteArrayLiteral("rDlPtS");
    const auto table = e.Resource(kRcData, uint32_t(11111), size_t(kOffsetTableId.size()));
    if (table && StartsWith(*table, kOffsetTableId))
        return InstallerKind::InnoSetup;
    if (StartsWith(e.Head().subspan(std::min<size_t>(0x30, e.Head().size())), QByteArrayLiteral("Inno"))
        || Holds(e.Overlay(), QByteArrayLiteral("Inno Setup Setup Data (")))
        return InstallerKind::InnoSetup;
    return std::nullopt;
}

bool NamesUpdateProgram(const QByteArray& name)
{
    const QByteArray lower = name.toLower();
    for (const QByteArray& program : {QByteArrayLiteral("update.exe"), QByteArrayLiteral("hotfix.exe")}) {
        if (lower == program || lower.endsWith('\\' + program))
            return true;
    }
    return false;
}

// Knowledge Base 262841: a software update package is a cabinet self-extractor that runs the package
// installer Update.exe (older ones Hotfix.exe) from its cabinet; since July 2004 its version data names
// it in the value "Installer Engine". Microsoft's self-extractor keeps the cabinet after its image and
// hands the program the "_SFX_CAB_EXE_PATH" variable.
Kind MicrosoftUpdate(InstallerEvidence& e)
{
    if (NamesUpdateProgram(e.VersionString(QStringLiteral("Installer Engine")).toLatin1()))
        return InstallerKind::MicrosoftUpdate;
    if (!e.HeadHolds(QByteArrayLiteral("_SFX_CAB_EXE_")))
        return std::nullopt;
    for (const QByteArray& name : CabinetFileNames(e.Overlay(), 64)) {
        if (NamesUpdateProgram(name))
            return InstallerKind::MicrosoftUpdate;
    }
    return std::nullopt;
}

// Knowledge Base 197147 and the IExpress wizard's directives: the extractor (Wextract) reads the package
// from RCDATA resources of its own image, the cabinet from "CABINET" and the command it runs from
// "RUNPROGRAM" (then "POSTRUNPROGRAM").
Kind IExpress(InstallerEvidence& e)
{
    if (e.Resource(kRcData, QStringLiteral("CABINET"), 4) && e.Resource(kRcData, QStringLiteral("RUNPROGRAM"), 1))
        return InstallerKind::IExpress;
    return std::nullopt;
}

bool NamesPackage(std::span<const uint8_t> bytes)
{
    const QByteArray lower = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())).toLower();
    return lower.contains(Bytes(".msi\0", 5)) || lower.contains(Bytes(".\0m\0s\0i\0\0\0", 10));
}

// InstallShield's setup.exe keeps its files after its image, in a stream that begins "InstallShield"
// (or, in later releases, holds "ISSetupStream" records); a Windows Installer project's setup.exe
// carries its .msi there, whose name or compound-file signature shows in the first records. Without
// such a stream, the launcher's version data names InstallShield.
Kind InstallShield(InstallerEvidence& e)
{
    const auto overlay = e.Overlay();
    if (StartsWith(overlay, QByteArrayLiteral("InstallShield")) || Holds(overlay, QByteArrayLiteral("ISSetupStream"))) {
        if (Holds(overlay, kCompoundFileSignature) || NamesPackage(overlay))
            return InstallerKind::InstallShieldMsi;
        return InstallerKind::InstallShield;
    }
    for (const QString& name : {QStringLiteral("ProductName"), QStringLiteral("FileDescription"),
                               QStringLiteral("CompanyName")}) {
        if (e.VersionString(name).contains(u"InstallShield", Qt::CaseInsensitive))
            return InstallerKind::InstallShield;
    }
    return std::nullopt;
}

// RARLAB's RAR 5.0 archive format page and the RAR 1.5-4 technical note: a self-extracting archive is the
// SFX module followed by the archive, which begins with "Rar!" 1A 07 01 00 (RAR 5) or "Rar!" 1A 07 00 (RAR
// 1.5 to 4) and goes on with its main archive header. RAR 5's header is its CRC32, its size as a variable
// length number, then its type (1) and the rest; the CRC covers the size and what follows. RAR 4's is a
// block of type 0x73 whose first two bytes are the low half of the CRC32 of the block from its type on.
// The archive must open the data after the module's image: a signature further in may be a RAR archive
// that another format stores.
std::optional<uint64_t> ReadVint(std::span<const uint8_t> bytes, size_t* at)
{
    uint64_t value = 0;
    for (int shift = 0; *at < bytes.size() && shift < 64; shift += 7) {
        const uint8_t byte = bytes[(*at)++];
        value |= uint64_t(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return value;
    }
    return std::nullopt;
}

bool Rar5MainHeader(std::span<const uint8_t> header)
{
    if (header.size() < 4)
        return false;
    size_t at = 4;
    const std::optional<uint64_t> size = ReadVint(header, &at);
    if (!size || *size == 0 || *size > header.size() - at)
        return false;
    const size_t end = at + size_t(*size);
    size_t typeAt = at;
    const std::optional<uint64_t> type = ReadVint(header.first(end), &typeAt);
    return type == 1u && Crc32(header.subspan(4, end - 4)) == LoadLe32(header, 0);
}

bool Rar4MainHeader(std::span<const uint8_t> header)
{
    constexpr size_t kMainHeaderSize = 13;
    return header.size() >= kMainHeaderSize && header[2] == 0x73 && LoadLe16(header, 5) >= kMainHeaderSize
           && LoadLe16(header, 5) <= header.size()
           && (Crc32(header.subspan(2, LoadLe16(header, 5) - 2)) & 0xFFFF) == LoadLe16(header, 0);
}

Kind WinRarSfx(InstallerEvidence& e)
{
    static const QByteArray kRar5 = Bytes("Rar!\x1A\x07\x01\x00", 8);
    static const QByteArray kRar4 = Bytes("Rar!\x1A\x07\x00", 7);
    const auto overlay = e.Overlay();
    if ((StartsWith(overlay, kRar5) && Rar5MainHeader(overlay.subspan(size_t(kRar5.size()))))
        || (StartsWith(overlay, kRar4) && Rar4MainHeader(overlay.subspan(size_t(kRar4.size())))))
        return InstallerKind::WinRarSfx;
    return std::nullopt;
}

// 7-Zip's help on -sfx: an installer is the SFX module, an optional configuration block
// (";!@Install@!UTF-8!" ... ";!@InstallEnd@!") and the 7z archive, joined; 7zFormat.txt: an archive
// begins with '7' 'z' BC AF 27 1C. Our own module reads the same layout.
Kind SevenZipSfx(InstallerEvidence& e)
{
    static const QByteArray kSignature = Bytes("7z\xBC\xAF\x27\x1C", 6);
    const auto overlay = e.Overlay();
    if (StartsWith(overlay, kSignature))
        return InstallerKind::SevenZipSfx;
    if (!StartsWith(overlay, QByteArrayLiteral(";!@Install@!UTF-8!")))
        return std::nullopt;
    const size_t end = Find(overlay, QByteArrayLiteral(";!@InstallEnd@!"));
    return Find(overlay, kSignature, end) != std::string_view::npos ? Kind(InstallerKind::SevenZipSfx) : std::nullopt;
}

// Wise Installation System: its installer's code names its main window class "WiseMain", and it carries
// its script and files in a header and compressed data after its image, or in newer releases in a
// section ".WISE". A program that merely holds the text, with no such data, is none.
Kind Wise(InstallerEvidence& e)
{
    if (!e.HeadHolds(QByteArrayLiteral("WiseMain")))
        return std::nullopt;
    const bool payload = !e.Overlay().empty() && e.Image().SymbolTableOffset() != e.OverlayOffset();
    return payload || e.Image().FindSection(QByteArrayLiteral(".WISE")) ? Kind(InstallerKind::Wise) : std::nullopt;
}

constexpr InstallerProbe kProbes[] = {
    WindowsInstaller, NotAnImage, WixBurn, Nsis, InnoSetup, MicrosoftUpdate,
    // A 7z archive may store a RAR archive uncompressed near its start: its own signature, which must
    // open the overlay, is looked at first.
    IExpress, InstallShield, SevenZipSfx, WinRarSfx, Wise,
};

}  // namespace

std::span<const InstallerProbe> InstallerProbes()
{
    return kProbes;
}

}  // namespace pw
