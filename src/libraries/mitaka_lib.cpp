#include "libraries/mitaka_lib.h"

#include "config/endpoints.h"
#include "libraries/catalogue_page.h"
#include "libraries/scraped_link.h"

namespace {

// The search request after the base URL; the ISBN replaces "%s" unchanged.
const QString kSearchTemplate = QStringLiteral(
    "/clis/search?BOOK=ON&MAGAZINE=ON&AV=ON&ITEM1=L&KEY1=%s&COMP1=2&COND=1&SORT=1");
const QString kIsbnPlaceholder = QStringLiteral("%s");

// The catalogue's page when nothing matches.
const QString kNoHitText = QStringLiteral("該当データが見つかりませんでした。");
// Opens each hit link; the catalogue writes its HTML in upper case. The
// detail path starts at the slash after the quote.
const QString kHitLinkMarker = QStringLiteral("<A HREF=\"/clis/detail?");
constexpr qsizetype kDetailPathOffset = 9;
// The session parameter that ends the part of the link worth keeping.
const QString kSessionMarker = QStringLiteral("&SID");

} // namespace

QString TMitakaLib::Search(const QString& isbn, THttpClient& client,
                           TErrorReporter& reporter) const
{
    const auto page = FetchCataloguePage(SearchUrl(isbn), client, reporter);
    return page ? ParseResult(*page) : QString();
}

QString TMitakaLib::SearchUrl(const QString& isbn) const
{
    // Spliced rather than formatted, so that nothing in the ISBN is read as
    // a placeholder.
    const qsizetype placeholder = kSearchTemplate.indexOf(kIsbnPlaceholder);
    return BaseUrl() + kSearchTemplate.left(placeholder) + isbn
         + kSearchTemplate.mid(placeholder + kIsbnPlaceholder.size());
}

QString TMitakaLib::ParseResult(const QString& page) const
{
    if (page.contains(kNoHitText))
        return QString();
    const qsizetype marker = page.indexOf(kHitLinkMarker);
    if (marker < 0)
        return QString();
    // The link ends at its closing quote; a session marker further down the
    // page belongs to another link.
    const std::optional<QStringView> link = QuotedValueUpToItsEnd(page, marker + kDetailPathOffset);
    if (!link)
        return QString();
    const qsizetype session = link->indexOf(kSessionMarker);
    if (session < 0)
        return QString();
    return BoundedDetailUrl(BaseUrl() + link->first(session).toString());
}

QString TMitakaLib::BaseUrl() const { return endpoints_.BaseUrl(GetName()); }
