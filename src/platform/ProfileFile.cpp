#include "platform/ProfileFile.h"

#include "platform/CodePage.h"
#include "platform/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#include <cerrno>

namespace pw {
namespace {

// A profile file is handled as Unicode text. An ANSI file is decoded as Latin-1, which maps each byte to
// one character and back, so untouched bytes survive a rewrite exactly; names and values of the caller
// are mapped the same way. A file with a UTF-16 or UTF-8 byte-order mark is decoded as such, and the
// caller's bytes are then converted through the system code page.
enum class Encoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct Line {
    QString text;  // without its line break
    QString eol;   // the break that followed it, as found ("" for a last line without one)
};

struct ProfileText {
    Encoding encoding = Encoding::Ansi;
    QList<Line> lines;
};

bool IsBlank(QChar c)
{
    const ushort u = c.unicode();
    return u == 0x20 || (u >= 0x09 && u <= 0x0D) || u == 0x1A;
}

QString Trimmed(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

ProfileText Decode(const QByteArray& raw)
{
    ProfileText t;
    QString text;
    if (raw.startsWith("\xFF\xFE")) {
        t.encoding = Encoding::Utf16LE;
        text = QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.constData() + 2), (raw.size() - 2) / 2);
    } else if (raw.startsWith("\xFE\xFF")) {
        t.encoding = Encoding::Utf16BE;
        QByteArray swapped = raw.mid(2);
        for (qsizetype i = 0; i + 1 < swapped.size(); i += 2)
            std::swap(swapped[i], swapped[i + 1]);
        text = QString::fromUtf16(reinterpret_cast<const char16_t*>(swapped.constData()), swapped.size() / 2);
    } else if (raw.startsWith("\xEF\xBB\xBF")) {
        t.encoding = Encoding::Utf8;
        text = QString::fromUtf8(raw.mid(3));
    } else {
        text = QString::fromLatin1(raw);
    }
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
            continue;
        qsizetype end = i;
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        t.lines.append({text.mid(start, end - start), text.mid(end, i + 1 - end)});
        start = i + 1;
    }
    if (start < text.size())
        t.lines.append({text.mid(start), QString()});
    return t;
}

QByteArray Encode(const ProfileText& t)
{
    QString text;
    for (const Line& l : t.lines)
        text += l.text + l.eol;
    switch (t.encoding) {
    case Encoding::Ansi:
        return text.toLatin1();
    case Encoding::Utf8:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        QByteArray out(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        if (t.encoding == Encoding::Utf16BE) {
            for (qsizetype i = 0; i + 1 < out.size(); i += 2)
                std::swap(out[i], out[i + 1]);
            return "\xFE\xFF" + out;
        }
        return "\xFF\xFE" + out;
    }
    }
    return {};
}

QString FromCaller(const QByteArray& bytes, Encoding e)
{
    return e == Encoding::Ansi ? QString::fromLatin1(bytes) : AnsiToUnicode(bytes);
}

QByteArray ToCaller(const QString& text, Encoding e)
{
    return e == Encoding::Ansi ? text.toLatin1() : UnicodeToAnsi(text);
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The section name of a header line, or nullopt for any other line.
std::optional<QString> SectionName(const QString& line)
{
    const QString t = Trimmed(line);
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = t.lastIndexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return Trimmed(t.mid(1, close - 1));
}

struct KeyLine {
    QString name;
    std::optional<QString> value;  // nullopt when the line has no "="
};

KeyLine ParseKeyLine(const QString& line)
{
    const QString t = Trimmed(line);
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0)
        return {t, std::nullopt};
    return {Trimmed(t.left(eq)), Trimmed(t.mid(eq + 1))};
}

struct SectionSpan {
    qsizetype header = -1;  // index of the header line; -1 when the section is missing
    qsizetype end = 0;      // index of the next header, or the line count
};

SectionSpan FindSection(const ProfileText& t, const QString& name)
{
    SectionSpan span;
    for (qsizetype i = 0; i < t.lines.size(); ++i) {
        const std::optional<QString> s = SectionName(t.lines[i].text);
        if (!s)
            continue;
        if (span.header >= 0) {
            span.end = i;
            return span;
        }
        if (SameName(*s, name))
            span.header = i;
    }
    span.end = t.lines.size();
    return span;
}

qsizetype FindKey(const ProfileText& t, const SectionSpan& span, const QString& key)
{
    for (qsizetype i = span.header + 1; i < span.end; ++i) {
        if (Trimmed(t.lines[i].text).isEmpty())
            continue;
        if (SameName(ParseKeyLine(t.lines[i].text).name, key))
            return i;
    }
    return -1;
}

QString StripQuotes(const QString& v)
{
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

QByteArray Truncated(QByteArray v, int size)
{
    if (size <= 0)
        return {};
    if (v.size() > size - 1)
        v.truncate(size - 1);
    return v;
}

// Makes sure the line before an insertion point ends with a break, so the new line starts on its own.
void EndLineAt(ProfileText& t, qsizetype index)
{
    if (index >= 0 && index < t.lines.size() && t.lines[index].eol.isEmpty())
        t.lines[index].eol = QStringLiteral("\r\n");
}

}  // namespace

QByteArray GetPrivateProfileString(const QByteArray& section, const QByteArray& key,
                                   const QByteArray& defaultValue, int size, const QString& path)
{
    QByteArray fallback = defaultValue;
    while (fallback.endsWith(' '))
        fallback.chop(1);
    fallback = Truncated(fallback, size);
    if (path.isEmpty() || key.isEmpty())
        return fallback;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fallback;
    const ProfileText t = Decode(file.readAll());
    const SectionSpan span = FindSection(t, Trimmed(FromCaller(section, t.encoding)));
    if (span.header < 0)
        return fallback;
    const qsizetype at = FindKey(t, span, Trimmed(FromCaller(key, t.encoding)));
    if (at < 0)
        return fallback;
    const KeyLine k = ParseKeyLine(t.lines[at].text);
    if (!k.value)
        return fallback;
    return Truncated(ToCaller(StripQuotes(*k.value), t.encoding), size);
}

QList<std::pair<QByteArray, QByteArray>> ProfileSectionValues(const QByteArray& section, const QString& path)
{
    QList<std::pair<QByteArray, QByteArray>> values;
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return values;
    const ProfileText t = Decode(file.readAll());
    const SectionSpan span = FindSection(t, Trimmed(FromCaller(section, t.encoding)));
    for (qsizetype i = span.header + 1; span.header >= 0 && i < span.end; ++i) {
        const KeyLine k = ParseKeyLine(t.lines[i].text);
        if (k.value && !k.name.startsWith(QLatin1Char(';')))
            values.append({ToCaller(k.name, t.encoding), ToCaller(StripQuotes(*k.value), t.encoding)});
    }
    return values;
}

bool WritePrivateProfileString(const QByteArray& section, const std::optional<QByteArray>& key,
                               const std::optional<QByteArray>& value, const QString& path, int* error)
{
    auto fail = [error](int e) {
        if (error)
            *error = e;
        return false;
    };
    if (path.isEmpty())
        return fail(EACCES);
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return fail(ENOENT);

    ProfileText t;
    QFile in(path);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            return fail(EACCES);
        t = Decode(in.readAll());
        in.close();
    }
    const QString sectionName = Trimmed(FromCaller(section, t.encoding));
    const SectionSpan span = FindSection(t, sectionName);
    const QString crlf = QStringLiteral("\r\n");

    if (!key) {
        if (span.header < 0)
            return true;
        t.lines.remove(span.header, span.end - span.header);
    } else {
        const QString keyName = FromCaller(*key, t.encoding);
        const qsizetype at = span.header < 0 ? -1 : FindKey(t, span, Trimmed(keyName));
        if (!value) {
            if (at < 0)
                return true;
            t.lines.remove(at);
        } else {
            const QString newValue = FromCaller(*value, t.encoding);
            if (at >= 0) {
                const KeyLine old = ParseKeyLine(t.lines[at].text);
                if (old.value && *old.value == newValue)
                    return true;  // nothing changes, nothing is rewritten
                t.lines[at].text = old.name + QLatin1Char('=') + newValue;
                if (t.lines[at].eol.isEmpty())
                    t.lines[at].eol = crlf;
            } else if (span.header >= 0) {
                qsizetype last = span.end - 1;
                while (last > span.header && Trimmed(t.lines[last].text).isEmpty())
                    --last;
                EndLineAt(t, last);
                t.lines.insert(last + 1, {keyName + QLatin1Char('=') + newValue, crlf});
            } else {
                EndLineAt(t, t.lines.size() - 1);
                t.lines.append({QLatin1Char('[') + sectionName + QLatin1Char(']'), crlf});
                t.lines.append({keyName + QLatin1Char('=') + newValue, crlf});
            }
        }
    }

    if (ReplaceFileContents(path, Encode(t), ReplaceFallback::WriteDirect))
        return fail(QFileInfo(path).isWritable() || !QFileInfo::exists(path) ? ENOSPC : EACCES);
    return true;
}

}  // namespace pw
