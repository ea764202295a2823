#pragma once
// Reads the version resource of an executable and answers questions about it: whether there is one,
// the string values of its first translation and the display name of that translation's language.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace pw {

class VersionInfoReader {
public:
    enum StringName {
        Comments, CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright, LegalTrademarks,
        OriginalFileName, PrivateBuild, ProductName, ProductVersion, SpecialBuild, StringNameCount
    };
    static const char* const StringNames[StringNameCount];

    // Points the reader at the running program's own file.
    VersionInfoReader();
    virtual ~VersionInfoReader() = default;

    QString FileName() const { return fileName_; }
    // Stores the name (the empty text stands for the running program's own file) and reads it at once.
    void SetFileName(const QString& fileName);

    bool HasVersionData() const { return hasVersionData_; }
    int TranslationIndex() const { return translationTable_.empty() ? -1 : 0; }
    // Language identifier then code page of the translation in use, as eight upper-case hex digits.
    QString TranslationKey() const;
    QString StringValue(int index) const;
    QString LanguageName() const;

protected:
    virtual void ClearVersionData();
    virtual void ReadVersionData();

private:
    bool QueryValue(const QByteArray& path, const char** value, uint32_t* length) const;

    QString fileName_;
    bool hasVersionData_ = false;
    // The whole version data as the platform hands it out. Looking a string up writes its converted
    // copy into the block's upper half, so even answering a question changes the block.
    mutable QByteArray versionData_;
    std::vector<uint32_t> translationTable_;
};

}  // namespace pw
