#include "pipeline/UnreadableFile.h"

#include "platform/Errors.h"

#include <QDir>

#include <cerrno>

namespace pw {
namespace {

QString Reason(int error, const BuildTexts& texts)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return texts.NoReadPermissionStr;
    case ENOENT:
        return texts.FileVanishedStr;
    case EIO:
        return texts.ReadErrorStr;
    default:
        return SystemErrorText(error);
    }
}

}  // namespace

QString UnreadableFileText(const BuildInputs& in, const QString& path, int error, const BuildTexts& texts)
{
    const QString folder = QDir::cleanPath(in.sourceDir) + QLatin1Char('/');
    const QString file = QDir::cleanPath(path);
    const QString shown = file.startsWith(folder) ? file.mid(folder.size()) : file;
    return texts.UnreadableFileStr.arg(QDir::toNativeSeparators(shown), Reason(error, texts));
}

}  // namespace pw
