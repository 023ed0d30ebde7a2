#include "util/app_info.h"

#include "util/error.h"
#include "version_table.h"

namespace {

const char* const kKeys[] = {"Comments",       "CompanyName",      "FileDescription", "FileVersion",
                             "InternalName",   "LegalCopyright",   "LegalTradeMarks", "OriginalFilename",
                             "PrivateBuild",   "ProductName",      "ProductVersion"};

} // namespace

TkAppInfo::TkAppInfo() : TkAppInfo(VersionTable::kTranslations, VersionTable::kStrings) {}

TkAppInfo::TkAppInfo(std::span<const VersionTable::Translation> translations,
                     std::span<const VersionTable::String> strings)
    : strings_(strings)
{
    if (strings.empty() || translations.empty())
        throw QuillmoorError(QStringLiteral("バージョン情報を取得できません"));
    language_ = translations.front().language;
    codePage_ = translations.front().codePage;
}

QString TkAppInfo::GetValue(int index) const
{
    if (index < 0 || index >= int(std::size(kKeys)))
        return QString();
    const auto hex4 = [](quint16 value) { return QStringLiteral("%1").arg(value, 4, 16, QChar(u'0')).toUpper(); };
    const QString path = QStringLiteral("\\StringFileInfo\\%1%2\\%3")
                             .arg(hex4(language_), hex4(codePage_), QString::fromLatin1(kKeys[index]));
    for (const VersionTable::String& entry : strings_) {
        if (QStringView(entry.path) == path)
            return QString::fromUtf16(entry.value);
    }
    return QString();
}
