#include "archive/cabinet/ESTCabinet.h"

#include <QStringList>

namespace pw {
namespace {

const char* const kFciTexts[] = {
    "No error",
    "Failure opening file to be stored in cabinet",
    "Failure reading file to be stored in cabinet",
    "Out of memory in FCI",
    "Could not create a temporary file",
    "Unknown compression type",
    "Could not create cabinet file",
    "Client requested abort",
    "Failure compressing data",
    // Raised where the cabinet format itself runs out of room (file or folder size, file or folder
    // count, name length); without a text of its own the user would learn only a number.
    "Data-size or file-count exceeded CAB format limits",
};

const char* const kFdiTexts[] = {
    "No error",
    "Cabinet not found",
    "Cabinet file does not have the correct format",
    "Cabinet file has an unknown version number",
    "Cabinet file is corrupt",
    "Could not allocate enough memory",
    "Unknown compression type in a cabinet folder",
    "Failure decompressing data from a cabinet file",
    "Failure writing to target file",
    "Cabinets in a set do not have the same RESERVE sizes",
    "Cabinet returned on fdintNEXT_CABINET is incorrect",
    "FDI aborted",
};

template <std::size_t N>
QString TextFor(const char* const (&table)[N], UINT code, const char* fallback)
{
    return QString::fromLatin1(code < N ? table[code] : fallback);
}

QString Hex(UINT value)
{
    return QStringLiteral("[0x") + QString::number(value, 16).toUpper().rightJustified(4, QLatin1Char('0')) +
           QLatin1Char(']');
}

QString SystemText(UINT code)
{
    QString text = SystemErrorText(static_cast<int>(code));
    while (!text.isEmpty() && (text.back().isSpace() || text.back() == QLatin1Char('.')))
        text.chop(1);
    return text;
}

}  // namespace

ESTCabinet::ESTCabinet(const ERF& erf, bool fromFci)
    : UserError(MessageFor(erf, fromFci)), erfOper_(erf.erfOper), erfType_(erf.erfType), fError_(erf.fError != 0),
      isFci_(fromFci)
{
}

ESTCabinet::ESTCabinet(const ERF& erf, const QString& sourceFile) : ESTCabinet(erf, true)
{
    sourceFile_ = sourceFile;
}

QString ESTCabinet::MessageFor(const ERF& erf, bool fromFci)
{
    const char* fallback = fromFci ? "FCI error" : "FDI error";
    if (!erf.fError)
        return QString::fromLatin1(fallback);
    QString text = (fromFci ? TextFor(kFciTexts, erf.erfOper, fallback) : TextFor(kFdiTexts, erf.erfOper, fallback)) +
                   QLatin1Char(' ') + Hex(erf.erfOper);
    if (erf.erfType != 0)
        text += QStringLiteral(".\r\n") + SystemText(erf.erfType) + QLatin1Char(' ') + Hex(erf.erfType) + QLatin1Char('.');
    return text;
}

UserError OperatingSystemError(int error)
{
    return UserError(QStringLiteral("System Error.  Code: %1.\r\n%2").arg(error).arg(SystemErrorText(error)));
}

}  // namespace pw
