#include "reopen/ReopenTexts.h"

#include "language/LanguageTexts.h"

namespace pw {
namespace {

const TextKey<ReopenTexts> kKeys[] = {
    {"iReopenFolderNotEmpty", &ReopenTexts::FolderNotEmptyStr},
    {"iReopenNoSevenZip", &ReopenTexts::NoSevenZipStr},
    {"iReopenNotAddOn", &ReopenTexts::NotAddOnStr},
    {"iReopenNoProgram", &ReopenTexts::NoProgramStr},
    {"iReopenNoEntries", &ReopenTexts::NoEntriesStr},
    {"iReopenNoAddProgram", &ReopenTexts::NoAddProgramStr},
    {"iReopenGeneralKeys", &ReopenTexts::GeneralKeysStr},
    {"iReopenStartCommand", &ReopenTexts::StartCommandStr},
    {"iReopenConfigLine", &ReopenTexts::ConfigLineStr},
    {"iReopenLevel", &ReopenTexts::LevelStr},
    {"iReopenLevelUndecided", &ReopenTexts::LevelUndecidedStr},
};

}  // namespace

QString FailureText(const ReopenedAddOn& opened, const QString& addOn, const ReopenTexts& texts)
{
    switch (opened.failure) {
    case ReopenFailure::FolderNotEmpty:
        return texts.FolderNotEmptyStr.arg(opened.detail);
    case ReopenFailure::NoSevenZip:
        return texts.NoSevenZipStr;
    case ReopenFailure::NotAddOn:
        return texts.NotAddOnStr.arg(addOn, opened.detail);
    case ReopenFailure::NoProgram:
        return texts.NoProgramStr.arg(addOn);
    case ReopenFailure::None:
        break;
    }
    return {};
}

QString UnreadText(const UnreadPart& part, const ReopenTexts& texts)
{
    switch (part.what) {
    case Unread::EntriesFile:
        return texts.NoEntriesStr;
    case Unread::AddProgram:
        return texts.NoAddProgramStr;
    case Unread::GeneralKeys:
        return texts.GeneralKeysStr.arg(part.detail);
    case Unread::StartCommand:
        return texts.StartCommandStr.arg(part.detail);
    case Unread::ConfigLine:
        return texts.ConfigLineStr.arg(part.detail);
    case Unread::Level:
        return texts.LevelStr.arg(part.detail);
    case Unread::LevelUndecided:
        return texts.LevelUndecidedStr.arg(part.detail);
    }
    return {};
}

ReopenTexts LoadReopenTexts(const LanguageFile& file)
{
    return LoadTexts(file, kKeys);
}

QStringList ReopenTextKeys()
{
    return KeysOf(kKeys);
}

}  // namespace pw
