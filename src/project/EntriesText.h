#pragma once
// The entries text of the "Entries" tab: free INI text whose six "[General]" key lines follow the six
// descriptive fields of the "Geral" tab.
#include <QStringList>

#include <utility>

namespace pw {

struct DescriptiveFields {
    QString Site, Version, Title, Language, Description, BuildDate;
    bool operator==(const DescriptiveFields&) const = default;
};

// The ten lines the text starts with.
QStringList DefaultEntriesLines();

// Index of the first line that holds `word` anywhere in it, without regard to case; -1 when none does.
// A substring test on purpose: no anchoring, no "=" test, no regard for sections.
int FindEntryLine(const QStringList& lines, const QString& word);

// Makes sure a "[general]" line exists, then rewrites (or inserts at index 1) the six key lines from the
// fields, in the order website, version, title, language, description, builddate.
void UpdateGeneralSection(QStringList& lines, const DescriptiveFields& fields);

// The same on a whole text, as the memo and an entries file hold it: every other line stays as it is, an
// empty last line (a text that ends with a line break) included. Lines come back separated by "\n".
QString UpdateGeneralSectionText(const QString& text, const DescriptiveFields& fields);

// The inverse of UpdateGeneralSection, for an add-on opened again: the fields from the key lines the
// update writes. Returns the keys that have no such line; their fields stay as they are.
QStringList ReadGeneralSection(const QStringList& lines, DescriptiveFields& fields);

// One of the six fields and a value for it.
using FieldValue = std::pair<QString DescriptiveFields::*, QString>;

// A field taking a value as the window's fields take one: only a value that differs from the field's is a
// change, and each change rewrites the text's "[General]" keys from all six fields. Several values given
// one after the other end in the text that typing them one after the other into the window gives.
void ChangeField(QString& text, DescriptiveFields& fields, const FieldValue& change);

}  // namespace pw
