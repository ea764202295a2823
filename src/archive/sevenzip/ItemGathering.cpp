#include "archive/sevenzip/ItemGathering.h"

#include "platform/FolderWalk.h"
#include "platform/Pacer.h"

#include <chrono>

namespace pw {
namespace {

bool IsSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// Extension of a bare file name, from its last ".", the "." included.
QString Extension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

class Gatherer {
public:
    explicit Gatherer(const GatherOptions& options) : options_(options) {}

    void AddEntry(const QString& entry)
    {
        const qsizetype star = entry.indexOf(QLatin1Char('*'));
        if (star < 0) {
            if (const std::optional<FileInformation> info = QueryFileInformation(entry))
                items_.push_back({entry, *info});
            return;
        }
        QString folder = entry.left(star);
        if (!folder.isEmpty() && !IsSeparator(folder.back()))
            folder += QLatin1Char('/');
        const QString mask = entry.mid(star + 1, 8);
        // A pattern whose folder does not exist gathers nothing, as a path that does not exist does.
        if (AddFolderItem(folder))
            Scan(folder, mask);
    }

    std::vector<GatheredItem> Take() { return std::move(items_); }

private:
    // The pattern's own folder, named relative to the root folder; the root folder itself is no item.
    // False when the folder does not exist.
    bool AddFolderItem(const QString& folder)
    {
        const QString path = folder.isEmpty() ? QStringLiteral(".") : folder;
        const std::optional<FileInformation> info = QueryFileInformation(path);
        if (!info || !info->isDirectory())
            return false;
        QString name = folder.left(folder.size() - 1);
        const QString& root = options_.rootDir;
        if (root.isEmpty())
            name.remove(0, DrivePrefixLength(name));
        else if (UpperCaseKeepingLength(name.left(root.size())) == UpperCaseKeepingLength(root))
            name.remove(0, root.size());
        if (!name.isEmpty())
            items_.push_back({name, *info});
        return true;
    }

    void Scan(const QString& folder, const QString& mask)
    {
        WalkRules rules;
        rules.takesFile = [&mask](const QString& name) {
            return mask == QLatin1String(".*") || Extension(name) == mask;
        };
        rules.recursive = options_.options.contains(AddRecurseDirs);
        rules.cancelled = options_.cancelled;
        rules.pump = [this] { Pump(); };
        WalkFolder(folder, rules, [this](const WalkEntry& entry) {
            if (!entry.info.isDirectory() || !options_.options.contains(AddStoreOnlyFilename))
                items_.push_back({entry.path, entry.info});
        });
    }

    void Pump()
    {
        if (options_.pump && pacer_.Due())
            options_.pump();
    }

    const GatherOptions& options_;
    std::vector<GatheredItem> items_;
    Pacer pacer_{std::chrono::milliseconds(50)};
};

}  // namespace

std::vector<GatheredItem> GatherItems(const QStringList& entries, const GatherOptions& options)
{
    Gatherer gatherer(options);
    for (const QString& entry : entries) {
        if (options.cancelled && options.cancelled())
            break;
        gatherer.AddEntry(entry);
    }
    std::vector<GatheredItem> items = gatherer.Take();
    items.shrink_to_fit();
    return items;
}

QString UpperCaseKeepingLength(const QString& text)
{
    QString upper = text;
    for (qsizetype i = 0; i < upper.size(); ++i) {
        if (upper[i].isHighSurrogate() && i + 1 < upper.size() && upper[i + 1].isLowSurrogate()) {
            const char32_t c = QChar::toUpper(QChar::surrogateToUcs4(upper[i], upper[i + 1]));
            upper[i] = QChar(QChar::highSurrogate(c));
            upper[++i] = QChar(QChar::lowSurrogate(c));
        } else {
            upper[i] = upper[i].toUpper();
        }
    }
    return upper;
}

RootRelativeName StripRootPrefix(const QString& name, const QString& rootPrefix)
{
    if (!rootPrefix.isEmpty() && UpperCaseKeepingLength(name.left(rootPrefix.size())) == rootPrefix)
        return {name.mid(rootPrefix.size()), true};
    return {name, false};
}

QString FinishStoredName(RootRelativeName relative, AddOpts options)
{
    QString& name = relative.name;
    if (!relative.insideRoot && DrivePrefixLength(name) == 3) {
        if (options.contains(AddIncludeDriveLetter))
            name.remove(1, 1);
        else
            name.remove(0, 3);
    }
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // A path from this host's own root has no drive letter to keep; an archive never stores it absolute.
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    if (options.contains(AddStoreOnlyFilename))
        name.remove(0, name.lastIndexOf(QLatin1Char('/')) + 1);
    return name;
}

}  // namespace pw
