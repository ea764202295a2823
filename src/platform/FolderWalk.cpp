#include "platform/FolderWalk.h"

#include "platform/Errors.h"
#include "platform/FileSearch.h"
#include "platform/SourceDateEpoch.h"

#include <QList>

#include <algorithm>
#include <set>
#include <utility>

namespace pw {
namespace {

[[noreturn]] void RefuseSpecialFile(const QString& path, SpecialFile kind)
{
    const QString what = kind == SpecialFile::Pipe     ? QStringLiteral("a named pipe")
                         : kind == SpecialFile::Socket ? QStringLiteral("a socket")
                                                       : QStringLiteral("a device");
    throw UserError(QStringLiteral("\"%1\" is %2, not a file: it cannot be packed.").arg(path, what));
}

class Walk {
public:
    Walk(const WalkRules& rules, const std::function<void(const WalkEntry&)>& visit) : rules_(rules), visit_(visit) {}

    // False once the walk was cancelled.
    bool Folder(const QString& folder)
    {
        if (const std::optional<FileInformation> self = QueryFileInformation(folder.isEmpty() ? QStringLiteral(".") : folder)) {
            if (!visited_.insert({self->device, self->inode}).second)
                return true;
        }
        DirListing listing = FindEntries(folder, QStringLiteral("*"));
        if (listing.error != 0)
            throw CannotOpenFile(folder, SystemErrorText(listing.error));
        // The order a directory lists its entries in is the file system's own; two copies of a folder
        // may differ in it. A reproducible build takes them in the order of their names.
        if (SourceDateEpoch())
            std::sort(listing.entries.begin(), listing.entries.end(),
                      [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
        QList<WalkEntry> folders;
        for (const DirEntry& found : listing.entries) {
            WalkEntry entry{folder + found.name, found.name, {}};
            int error = 0;
            const std::optional<FileInformation> info = QueryFileInformation(entry.path, &error);
            const bool taken = !rules_.takesFile || rules_.takesFile(found.name);
            if (!info) {
                if (taken)
                    throw CannotOpenFile(entry.path, SystemErrorText(error));
            } else if (info->isDirectory()) {
                entry.info = *info;
                if (rules_.filesFirst)
                    folders.append(entry);
                else if (!Enter(entry))
                    return false;
            } else if (taken) {
                if (info->special != SpecialFile::None)
                    RefuseSpecialFile(entry.path, info->special);
                entry.info = *info;
                visit_(entry);
            }
            if (!Next())
                return false;
        }
        for (const WalkEntry& entry : folders) {
            if (!Enter(entry) || !Next())
                return false;
        }
        return true;
    }

private:
    bool Enter(const WalkEntry& entry)
    {
        visit_(entry);
        return !rules_.recursive || Folder(entry.path + QLatin1Char('/'));
    }

    bool Next()
    {
        if (rules_.pump)
            rules_.pump();
        return !(rules_.cancelled && rules_.cancelled());
    }

    const WalkRules& rules_;
    const std::function<void(const WalkEntry&)>& visit_;
    std::set<std::pair<std::uint64_t, std::uint64_t>> visited_;
};

}  // namespace

void WalkFolder(const QString& folder, const WalkRules& rules, const std::function<void(const WalkEntry&)>& visit)
{
    Walk(rules, visit).Folder(folder);
}

}  // namespace pw
