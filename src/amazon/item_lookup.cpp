#include "amazon/item_lookup.h"

#include "amazon/answer_text.h"
#include "amazon/item_lookup_request.h"
#include "amazon/item_lookup_response.h"
#include "libraries/http_client.h"

#include <exception>

QList<TBookData> LookupItems(const QString& isbnCommaText, THttpClient& client,
                             const QString& accessKeyId, const QString& secretAccessKey,
                             const QString& host)
{
    const QString itemIds = ToItemIdList(isbnCommaText);
    const QString url = BuildItemLookupUrl(itemIds, accessKeyId, secretAccessKey, QDateTime(), host);
    for (int attempt = 0; attempt < kItemLookupAttempts; ++attempt) {
        try {
            return ParseItemLookupResponse(DecodeBooksellerAnswer(client.Get(url)));
        } catch (const std::exception&) {
            // The batch is simply tried again; its rows stay empty in the end.
            // A client aborted for shutdown fails every attempt alike.
            if (client.IsAborted())
                break;
        }
    }
    return {};
}
