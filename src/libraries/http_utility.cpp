#include "libraries/http_utility.h"

#include "libraries/http_client.h"
#include "util/string_utility.h"

QString THttpUtility::GetText(const QString& url, THttpClient& client, TCodePage codePage)
{
    // The body is decoded whole: a zero byte is an ordinary byte of UTF-16
    // and UTF-32 pages and never ends the text.
    const QByteArray body = client.Get(url);
    if (codePage == kCodePageUnknown)
        return TStringUtility::ToUnicodeDetect(body);
    return TStringUtility::ToUnicode(body, codePage);
}
