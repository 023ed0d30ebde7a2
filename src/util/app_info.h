#pragma once

#include <QList>
#include <QString>

#include <span>

namespace VersionTable {
struct Translation;
struct String;
} // namespace VersionTable

// Reads the program's version information by field index:
// 0 Comments, 1 CompanyName, 2 FileDescription, 3 FileVersion,
// 4 InternalName, 5 LegalCopyright, 6 LegalTradeMarks, 7 OriginalFilename,
// 8 PrivateBuild, 9 ProductName, 10 ProductVersion; other indexes name no
// field and give the empty text.
class TkAppInfo final
{
public:
    // The table compiled into the program. An empty table, or one without a
    // translation to address its strings by, raises QuillmoorError
    // "バージョン情報を取得できません".
    TkAppInfo();
    TkAppInfo(std::span<const VersionTable::Translation> translations,
              std::span<const VersionTable::String> strings);

    // The field's text under the first translation, or the empty text when
    // the table has no such entry.
    QString GetValue(int index) const;

private:
    quint16 language_ = 0;
    quint16 codePage_ = 0;
    std::span<const VersionTable::String> strings_;
};
