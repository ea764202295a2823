#include "pipeline/InstallerLimit.h"

#include "pipeline/AppFiles.h"
#include "pipeline/BuildTexts.h"
#include "pipeline/CabinetLayout.h"
#include "pipeline/EntriesFile.h"
#include "pipeline/PackStep.h"
#include "platform/cabinet/CabFormat.h"

#include <QFileInfo>

namespace pw {
namespace {

// The largest installer that, stored before an entries file of `entriesBytes`, leaves the cabinet within
// the writer's limit; the cabinet's size grows with the installer's, so a search finds it.
qint64 LargestStoredInstaller(qint64 entriesBytes, std::uint64_t nameBytes)
{
    const auto fits = [&](qint64 installer) {
        return fci::StoredCabinetBytes(std::uint64_t(installer + entriesBytes), 2, nameBytes) <= CB_MAX_DISK;
    };
    qint64 low = 0, high = qint64(CB_MAX_DISK);
    while (low < high) {
        const qint64 middle = low + (high - low + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

QString TooBigText(const QString& name, qint64 size, qint64 limit, const BuildTexts& texts)
{
    return texts.InstallerTooBigStr.arg(name, QString::number(size), QString::number(limit));
}

}  // namespace

InstallerTooBig::InstallerTooBig(const QString& name_, qint64 size_, qint64 limit_)
    : UserError(TooBigText(name_, size_, limit_, BuildTexts())), name(name_), size(size_), limit(limit_)
{
}

QString InstallerTooBigText(const InstallerTooBig& e, const BuildTexts& texts)
{
    return TooBigText(e.name, e.size, e.limit, texts);
}

InstallerLimit::InstallerLimit(const BuildInputs& in, const QString& outName)
    : name_(outName + QStringLiteral(".exe")),
      aroundArchive_(QFileInfo(in.appDir + kSfxModule).size() + SfxConfig(in).size()),
      storesFiles_(in.compressionLevel == SAVE)
{
    const QString entries = EntriesFileName(outName);
    const std::uint64_t nameBytes =
        std::uint64_t(InstallerNameInCabinet(outName).toUtf8().size() + entries.toUtf8().size());
    largest_ = LargestStoredInstaller(EntriesFileBytes(in, outName).size(), nameBytes);
}

void InstallerLimit::RequireArchive(qint64 archiveBytes) const
{
    if (aroundArchive_ + archiveBytes > largest_)
        throw InstallerTooBig(name_, aroundArchive_ + archiveBytes, largest_);
}

void InstallerLimit::RequireFilesToPack(qint64 filesBytes) const
{
    if (storesFiles_)
        RequireArchive(filesBytes);
}

}  // namespace pw
