// Feeds arbitrary result pages to the catalogue page parsers. Besides
// crashes and out-of-range reads it checks what every answer must be: the
// empty text or a URL on the catalogue's own host, of bounded length.
#include "config/endpoints.h"
#include "libraries/common_lib.h"
#include "libraries/mitaka_lib.h"
#include "libraries/osakafu_lib.h"
#include "libraries/osakashi_lib.h"
#include "libraries/scraped_link.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

const QString kBase = QStringLiteral("http://opac.example.jp");

void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void RequireEmptyOrOnBase(const QString& url)
{
    Require(url.isEmpty() || url.startsWith(kBase));
    Require(url.size() <= kMaxDetailUrlLength);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TEndpoints endpoints = [] {
        TEndpoints e;
        for (const char16_t* name : {u"大阪府立図書館", u"大阪市立図書館", u"三鷹市立図書館"})
            e.SetOverride(QString::fromUtf16(name), kBase);
        return e;
    }();
    static const TOsakafuLib prefectural(endpoints);
    static const TOsakashiLib city(endpoints);
    static const TMitakaLib mitaka(endpoints);

    if (size == 0)
        return 0;
    // The first byte picks how the rest becomes text: as UTF-8, the way most
    // pages arrive, or as raw UTF-16 code units, which reaches lone
    // surrogates and every character a decoder could give.
    const char* rest = reinterpret_cast<const char*>(data + 1);
    const qsizetype restSize = static_cast<qsizetype>(size - 1);
    QString page;
    if ((data[0] & 1) == 0) {
        page = QString::fromUtf8(rest, restSize);
    } else {
        page = QString(restSize / 2, Qt::Uninitialized);
        std::memcpy(page.data(), rest, static_cast<size_t>(page.size()) * sizeof(QChar));
    }

    const QString key = TCommonLib::ExtractRecordKey(page);
    Require(!key.contains(u','));
    Require(key.size() <= kMaxRecordKeyLength);
    const QString common = TCommonLib::ParseResult(kBase, page);
    RequireEmptyOrOnBase(common);
    Require(common.isEmpty() || common.endsWith(QStringLiteral("&kgrn=0&tso=on")));

    RequireEmptyOrOnBase(prefectural.ParseResult(page));
    RequireEmptyOrOnBase(city.ParseResult(page));
    const QString detail = mitaka.ParseResult(page);
    RequireEmptyOrOnBase(detail);
    Require(!detail.contains(QStringLiteral("&SID")));
    return 0;
}
