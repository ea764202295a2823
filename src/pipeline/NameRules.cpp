#include "pipeline/NameRules.h"

#include "pipeline/BuildTexts.h"
#include "platform/CodePage.h"
#include "platform/cabinet/CabFormat.h"
#include "project/StartFileKinds.h"

#include <QStringList>

#include <algorithm>

namespace pw {
namespace {

static_assert(kCabinetNameBytes == CB_MAX_FILENAME - 1, "the format's names end with a zero byte");
static_assert(kCabinetFileBytes == fci::kMaxFolderBytes);

bool IsControl(char32_t c)
{
    return c < 0x20;
}

QString CodePoint(char32_t c)
{
    return QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

// A character as a message shows it: itself and its code point, or only the code point when it has no
// glyph of its own.
QString CharacterShown(const QString& character)
{
    const QList<uint> codes = character.toUcs4();
    const char32_t c = codes.isEmpty() ? 0 : codes.front();
    return IsControl(c) ? CodePoint(c) : QStringLiteral("\"%1\" (%2)").arg(character, CodePoint(c));
}

// A name or value as a message shows it: a control character (a line break, a tab) would break the
// message's own lines or not show at all, so it stands as its code point.
QString Shown(const QString& text)
{
    QString shown;
    for (const QChar c : text) {
        if (IsControl(c.unicode()))
            shown += QLatin1Char('<') + CodePoint(c.unicode()) + QLatin1Char('>');
        else
            shown += c;
    }
    return shown;
}

bool IsAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
}

QString RefusalMessage(const QString& subject, const NameRefusal& refusal, const BuildTexts& texts)
{
    const QString name = Shown(subject);
    switch (refusal.rule) {
    case NameRule::Character:
        return texts.NameCharacterStr.arg(name, CharacterShown(refusal.detail));
    case NameRule::DotOrBlankAtEnd:
        return texts.NameDotBlankStr.arg(name);
    case NameRule::DeviceName:
        return texts.NameDeviceStr.arg(name, refusal.detail);
    case NameRule::SameNameButCase:
        return texts.NameCaseStr.arg(name, Shown(refusal.detail));
    case NameRule::RunnerName:
        return texts.NameRunnerStr.arg(name, refusal.detail);
    case NameRule::TooLongForCabinet:
        return texts.NameLengthStr.arg(name, Shown(refusal.detail), QString::number(refusal.detail.toUtf8().size()),
                                       QString::number(kCabinetNameBytes));
    case NameRule::TooLargeForCabinet:
        return texts.FileSizeStr.arg(name, refusal.detail, QString::number(kCabinetFileBytes));
    case NameRule::OutsideCodePage:
        return texts.NameCodePageStr.arg(name, CharacterShown(refusal.detail), QString::number(SystemCodePage()));
    case NameRule::PercentInBatchFile:
        return texts.NamePercentStr.arg(name);
    case NameRule::LineBreak:
        return texts.LineBreakStr.arg(name);
    case NameRule::EmptyOutputName:
        return texts.NoOutputNameStr.arg(name);
    case NameRule::ShortcutWithoutTarget:
        return texts.ShortcutNoTargetStr.arg(name);
    case NameRule::BlankInCommand:
        return texts.NameBlankStr.arg(name);
    }
    return {};
}

}  // namespace

NameRefused::NameRefused(QString subject_, NameRefusal refusal_)
    : UserError(RefusalMessage(subject_, refusal_, BuildTexts())), subject(std::move(subject_)),
      refusal(std::move(refusal_))
{
}

QString RefusalText(const NameRefused& refused, const BuildTexts& texts)
{
    return RefusalMessage(refused.subject, refused.refusal, texts);
}

std::optional<NameRefusal> RefusedCharacter(QStringView name)
{
    for (const QChar c : name) {
        switch (c.unicode()) {
        case '<': case '>': case ':': case '"': case '/': case '\\': case '|': case '?': case '*':
            return NameRefusal{NameRule::Character, QString(c)};
        default:
            if (IsControl(c.unicode()))
                return NameRefusal{NameRule::Character, QString(c)};
        }
    }
    return std::nullopt;
}

std::optional<NameRefusal> DotOrBlankAtEnd(QStringView name)
{
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return NameRefusal{NameRule::DotOrBlankAtEnd, {}};
    return std::nullopt;
}

std::optional<NameRefusal> DeviceName(QStringView name)
{
    // Windows takes the part before the first dot, without the blanks at its end, for the device: "nul.txt"
    // and "NUL .tar.gz" are the device NUL.
    qsizetype length = name.indexOf(QLatin1Char('.'));
    if (length < 0)
        length = name.size();
    while (length > 0 && name[length - 1] == QLatin1Char(' '))
        --length;
    // Every device name has three or four letters: most names end here, without a copy.
    if (length != 3 && length != 4)
        return std::nullopt;
    QString base = name.left(length).toString();
    if (!IsAscii(base))
        return std::nullopt;
    base = base.toUpper();
    static const QStringList alone = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                      QStringLiteral("NUL")};
    const bool numbered = base.size() == 4 && (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT")))
                          && base[3] >= QLatin1Char('1') && base[3] <= QLatin1Char('9');
    if (numbered || alone.contains(base))
        return NameRefusal{NameRule::DeviceName, base};
    return std::nullopt;
}

std::optional<NameRefusal> WindowsNameRule(QStringView name)
{
    if (auto refusal = RefusedCharacter(name))
        return refusal;
    if (auto refusal = DotOrBlankAtEnd(name))
        return refusal;
    return DeviceName(name);
}

std::optional<NameRefusal> TooLongForCabinet(const QString& nameInCabinet)
{
    if (nameInCabinet.toUtf8().size() > kCabinetNameBytes)
        return NameRefusal{NameRule::TooLongForCabinet, nameInCabinet};
    return std::nullopt;
}

std::optional<NameRefusal> TooLargeForCabinet(qint64 size)
{
    if (size > kCabinetFileBytes)
        return NameRefusal{NameRule::TooLargeForCabinet, QString::number(size)};
    return std::nullopt;
}

std::optional<NameRefusal> OutsideCodePage(const QString& text)
{
    if (const std::optional<char32_t> c = FirstCharacterOutside(text))
        return NameRefusal{NameRule::OutsideCodePage, QString::fromUcs4(&*c, 1)};
    return std::nullopt;
}

std::optional<NameRefusal> PercentInBatchFile(const QString& startFile)
{
    const Runner* runner = RunnerOf(startFile);
    if (runner && runner->throughCmd && startFile.contains(QLatin1Char('%')))
        return NameRefusal{NameRule::PercentInBatchFile, {}};
    return std::nullopt;
}

std::optional<NameRefusal> BlankInCommand(const QString& name)
{
    if (name.contains(QLatin1Char(' ')))
        return NameRefusal{NameRule::BlankInCommand, {}};
    return std::nullopt;
}

std::optional<NameRefusal> LineBreakIn(const QString& value)
{
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return NameRefusal{NameRule::LineBreak, {}};
    return std::nullopt;
}

void Refuse(const QString& subject, const std::optional<NameRefusal>& refusal)
{
    if (refusal)
        throw NameRefused(subject, *refusal);
}

}  // namespace pw
