#include "project/VersionFill.h"

#include "platform/FileNames.h"

namespace pw {

QList<FieldValue> VersionDataFill(VersionInfoReader& reader, const QString& path)
{
    if (LowerExtension(path) != QLatin1String(".exe"))
        return {};
    reader.SetFileName(path);
    return {{&DescriptiveFields::Title, reader.StringValue(VersionInfoReader::ProductName)},
            {&DescriptiveFields::Description, reader.StringValue(VersionInfoReader::Comments)},
            {&DescriptiveFields::Version, reader.StringValue(VersionInfoReader::ProductVersion)},
            {&DescriptiveFields::Language, reader.LanguageName()},
            {&DescriptiveFields::BuildDate, reader.StringValue(VersionInfoReader::PrivateBuild)}};
}

}  // namespace pw
