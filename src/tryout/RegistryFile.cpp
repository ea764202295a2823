#include "tryout/RegistryFile.h"

#include "platform/TextLines.h"

#include <QFile>

namespace pw {
namespace {

// The C escapes of control characters, and the characters they stand for.
const QString kEscapeLetters = QStringLiteral("abefnrtv");
const char16_t kEscapeCodes[] = {7, 8, 27, 12, 10, 13, 9, 11};

// Reads a string that Wine escaped from `text` at `at`, up to the unescaped `end` character; `at` is left
// after that character. Wine writes "\\", "\"", C escapes, octal "\0" and hexadecimal "\xe9" (up to four
// digits) for characters outside printable ASCII.
QString Unescape(const QString& text, qsizetype& at, QChar end)
{
    QString out;
    while (at < text.size() && text[at] != end) {
        QChar c = text[at++];
        if (c != QLatin1Char('\\') || at >= text.size()) {
            out += c;
            continue;
        }
        c = text[at++];
        auto digits = [&](int base, int limit) {
            uint value = 0;
            for (int n = 0; n < limit && at < text.size(); ++n, ++at) {
                bool ok = false;
                const uint digit = QString(text[at]).toUInt(&ok, base);
                if (!ok)
                    break;
                value = value * base + digit;
            }
            return QChar(char16_t(value));
        };
        if (c == QLatin1Char('x')) {
            out += digits(16, 4);
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('7')) {
            --at;
            out += digits(8, 3);
        } else if (const qsizetype letter = kEscapeLetters.indexOf(c); letter >= 0) {
            out += QChar(kEscapeCodes[letter]);
        } else {
            out += c;
        }
    }
    ++at;
    return out;
}

bool UnderKey(const QString& key, const QString& parent)
{
    return key.compare(parent, Qt::CaseInsensitive) == 0
           || key.startsWith(parent + QLatin1Char('\\'), Qt::CaseInsensitive);
}

}  // namespace

RegistryKeys ParseRegistry(const QString& text)
{
    RegistryKeys keys;
    RegistryValues* current = nullptr;
    const QStringList lines = SplitLines(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        qsizetype at = 1;
        if (line.startsWith(QLatin1Char('['))) {
            current = &keys[Unescape(line, at, QLatin1Char(']'))];
            continue;
        }
        QString name;
        if (line.startsWith(QLatin1Char('"')))
            name = Unescape(line, at, QLatin1Char('"'));
        else if (!line.startsWith(QLatin1Char('@')))
            continue;  // comments, the file's header and the key's times
        if (!current || at >= line.size() || line[at] != QLatin1Char('='))
            continue;
        QString data = line.mid(at + 1);
        // Long binary data goes on over lines that end in a backslash.
        while (data.endsWith(QLatin1Char('\\')) && i + 1 < lines.size())
            data = data.chopped(1) + lines[++i].trimmed();
        current->insert(name, data);
    }
    return keys;
}

RegistryKeys ReadRegistryFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ParseRegistry(QString::fromUtf8(file.readAll()));
}

QString ReadableData(const QString& data)
{
    qsizetype at = data.indexOf(QLatin1Char('"'));
    const bool text = data.startsWith(QLatin1Char('"')) || data.startsWith(QLatin1String("str("));
    if (text && at >= 0) {
        ++at;
        QString value = Unescape(data, at, QLatin1Char('"'));
        // A multi-string (str(7)) ends each of its strings with a null character.
        while (value.endsWith(QChar(0)))
            value.chop(1);
        return value.replace(QChar(0), QStringLiteral("; "));
    }
    if (data.startsWith(QLatin1String("dword:"))) {
        bool ok = false;
        const uint value = data.mid(6).toUInt(&ok, 16);
        if (ok)
            return QString::number(value);
    }
    return data;
}

QStringList SoftwareChanges(const RegistryKeys& before, const RegistryKeys& after, const QString& hive)
{
    QStringList changes;
    for (auto key = after.begin(); key != after.end(); ++key) {
        if (!UnderKey(key.key(), QStringLiteral("Software")) || UnderKey(key.key(), QStringLiteral("Software\\Wine")))
            continue;
        const QString path = hive + QLatin1Char('\\') + key.key();
        const auto old = before.find(key.key());
        if (old == before.end() && key->isEmpty())
            changes << path;
        for (auto value = key->begin(); value != key->end(); ++value) {
            if (old != before.end() && old->contains(value.key()) && old->value(value.key()) == *value)
                continue;
            const QString name = value.key().isEmpty() ? QStringLiteral("@") : value.key();
            changes << QStringLiteral("%1: %2 = %3").arg(path, name, ReadableData(*value));
        }
    }
    return changes;
}

}  // namespace pw
