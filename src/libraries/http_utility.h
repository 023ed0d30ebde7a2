#pragma once

#include "util/code_page.h"

#include <QString>

class THttpClient;

// Fetching a page as text.
class THttpUtility final
{
public:
    THttpUtility() = delete;

    // GETs the URL with the client and decodes the whole body: in the code
    // page given, or, for kCodePageUnknown, in the one detected from the
    // bytes. The client's HttpError passes through unchanged.
    static QString GetText(const QString& url, THttpClient& client, TCodePage codePage);
};
