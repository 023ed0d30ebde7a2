#pragma once

#include <QString>

class THttpClient;
class TErrorReporter;

// The scraper shared by the catalogues that run the "Sopcsken.sh" /
// "Sopcsvis.sh" catalogue product. Their backends differ only in the base
// URL and the search path; everything else happens here. Holds no state.
class TCommonLib final
{
public:
    TCommonLib() = delete;

    // Looks the ISBN up: base URL + search path + ISBN, fetched and parsed.
    // Gives the record's detail page URL or the empty text; a failed request
    // is reported and gives the empty text.
    static QString Search(const QString& baseUrl, const QString& isbn, THttpClient& client,
                          TErrorReporter& reporter, const QString& searchPath);

    // The request URL, by plain concatenation: search keys hold only 0-9, x
    // and X, so nothing needs escaping.
    static QString SearchUrl(const QString& baseUrl, const QString& searchPath,
                             const QString& isbn);

    // The detail page URL of the first record of a result page, or the empty
    // text when the page reports no hit, holds no record link, or the URL
    // would be longer than kMaxDetailUrlLength.
    static QString ParseResult(const QString& baseUrl, const QString& page);

    // What stands between the first record link's opening parenthesis and the
    // next comma, untouched (quotes included). A ")", '"', "<", ">" or line
    // break before that comma ends the key there, so it never runs past its
    // call. Empty without a link, without a comma after it, or for a key
    // longer than kMaxRecordKeyLength.
    static QString ExtractRecordKey(const QString& page);
};
