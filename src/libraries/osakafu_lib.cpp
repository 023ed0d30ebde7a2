#include "libraries/osakafu_lib.h"

#include "config/endpoints.h"
#include "libraries/catalogue_page.h"
#include "libraries/scraped_link.h"
#include "util/character_references.h"

namespace {

// Sent as it stands, parameter order included; "langcod1" appears twice,
// first as "dummy" and later empty, as the catalogue's own form sends it.
const QString kSearchPath = QStringLiteral(
    u"/OSPLIB/webopac/kensaku/kensakuKekka.jsp?title1=&title_agree1=2&title_cond2=1&"
    u"title2=&title_agree2=2&title_cond3=1&title3=&title_agree3=2&author1=&"
    u"author_agree1=2&author_cond2=1&author2=&author_agree2=2&author_cond3=1&author3=&"
    u"author_agree3=2&publisher1=&publisher_agree1=2&relation1=&relation_agree1=2&"
    u"relation_cond2=1&relation2=&relation_agree2=2&relation_cond3=1&relation3=&"
    u"relation_agree3=2&class_sign1=&langcod1=dummy&publish_year1=&publish_year2=&"
    u"data_division1=dummy&title_kind1=dummy&library_name1=dummy&medium_kind1=dummy&"
    u"langcod1=&code_genre1=2&area_check1=dummy&area1=dummy&possess_division1=dummy&"
    u"newarvl1=dummy&tkd_poss1=dummy&classflg=0&code_value1=");

// The notice the catalogue prints above a list of hits.
const QString kHitNotice =
    QStringLiteral("ご利用にあたっては書名をクリックして詳細情報を必ず確認してください");
// Precedes the record code in each record link; the code ends at the
// closing '"'.
const QString kRecordLinkMarker = QStringLiteral("kensakuSyousai.jsp?tilcod=");
const QString kDetailPath = QStringLiteral("/OSPLIB/webopac/kensaku/kensakuSyousai.jsp?tilcod=");

} // namespace

QString TOsakafuLib::Search(const QString& isbn, THttpClient& client,
                            TErrorReporter& reporter) const
{
    const auto page = FetchCataloguePage(SearchUrl(isbn), client, reporter);
    return page ? ParseResult(*page) : QString();
}

QString TOsakafuLib::SearchUrl(const QString& isbn) const
{
    return BaseUrl() + kSearchPath + isbn;
}

QString TOsakafuLib::ParseResult(const QString& page) const
{
    if (!page.contains(kHitNotice))
        return QString();
    // The link may stand before or after the notice.
    const qsizetype link = page.indexOf(kRecordLinkMarker);
    if (link < 0)
        return QString();
    const std::optional<QStringView> code =
        QuotedValueUpToItsEnd(page, link + kRecordLinkMarker.size());
    if (!code)
        return QString();
    return BoundedDetailUrl(BaseUrl() + kDetailPath + DecodeCharacterReferences(*code));
}

QString TOsakafuLib::BaseUrl() const { return endpoints_.BaseUrl(GetName()); }
