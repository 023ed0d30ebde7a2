#include "libraries/osakashi_lib.h"

#include "config/endpoints.h"
#include "libraries/catalogue_page.h"
#include "libraries/scraped_link.h"
#include "util/character_references.h"

namespace {

// Sent as it stands, parameter order included. SEARCH1 is the catalogue's
// button label "　検　索　" percent-encoded in EUC-JP, and the L0 to L3 values
// are a single "+", exactly as the catalogue's own form sends them.
const QString kSearchPath = QStringLiteral(
    u"/cgi-bin/internet/opi_102.cgi?KY_GNO=101&KY_LANG=J&KY_BUTTON=01&NEW=&HIS=101&S1=&"
    u"S2=&S3=&S4=&S5=&L=20&I0=T&K0=&C0=02&L0=+&I1=A&K1=&C1=02&L1=+&I2=P&K2=&C2=02&L2=+&"
    u"FNAME=&PNAME_SELECT=&PNAME_TEXT=&KEY=&I3=A&K3=&L3=+&I4=C&K4=&CT1=1&CT2=1&CT3=1&AJ=&"
    u"LOC=&Y1=&Y2=&ORDER=syear&SORT=02&SEARCH1=%A1%A1%B8%A1%A1%A1%BA%F7%A1%A1&ISSN=&MK=J&"
    u"MN=&BID=&SI=&CB=1&ISBN=");

// Starts each record link; the record's query follows up to the closing '"'.
// The detail URL reuses it as its path.
const QString kRecordLinkMarker = QStringLiteral("/cgi-bin/internet/opi_103.cgi?");

} // namespace

QString TOsakashiLib::Search(const QString& isbn, THttpClient& client,
                             TErrorReporter& reporter) const
{
    const auto page = FetchCataloguePage(SearchUrl(isbn), client, reporter);
    return page ? ParseResult(*page) : QString();
}

QString TOsakashiLib::SearchUrl(const QString& isbn) const
{
    return BaseUrl() + kSearchPath + isbn;
}

QString TOsakashiLib::ParseResult(const QString& page) const
{
    const qsizetype link = page.indexOf(kRecordLinkMarker);
    if (link < 0)
        return QString();
    const std::optional<QStringView> query =
        QuotedValueUpToItsEnd(page, link + kRecordLinkMarker.size());
    if (!query)
        return QString();
    // The link is an attribute value: its "&amp;" is the browser's "&".
    return BoundedDetailUrl(BaseUrl() + kRecordLinkMarker + DecodeCharacterReferences(*query));
}

QString TOsakashiLib::BaseUrl() const { return endpoints_.BaseUrl(GetName()); }
