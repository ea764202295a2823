#include "catalogue/Silence.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/TextLines.h"

#include <QFile>

#include <optional>

namespace pw {
namespace {

QByteArray TrimControl(const QByteArray& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && quint8(s[b]) <= 32)
        ++b;
    while (e > b && quint8(s[e - 1]) <= 32)
        --e;
    return s.mid(b, e - b);
}

}  // namespace

std::optional<CatalogueText> ReadCatalogue(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw CannotOpenFile(path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw CannotOpenFile(path, file.errorString());
    CatalogueText text;
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) {
        text.hiddenTail = bytes.mid(nul);
        bytes.truncate(nul);
    }
    text.lines = SplitLines(bytes);
    return text;
}

QString SilenceFilePath(const QString& dataDir)
{
    return dataDir + QStringLiteral("Silence.qmr");
}

QStringList SilenceNames(const QString& path)
{
    QStringList names;
    if (const auto text = ReadCatalogue(path)) {
        for (const QByteArray& line : text->lines) {
            const qsizetype comma = line.indexOf(',');
            names.append(AnsiToUnicode(comma < 0 ? line : line.left(comma)));
        }
    }
    return names;
}

QString SilenceCommand(const QString& path, int index)
{
    const auto text = ReadCatalogue(path);
    if (!text || index < 0 || index >= text->lines.size())
        return {};
    const QByteArray& line = text->lines[index];
    const qsizetype comma = line.indexOf(',');
    return AnsiToUnicode(TrimControl(comma < 0 ? line : line.mid(comma + 1)));
}

}  // namespace pw
