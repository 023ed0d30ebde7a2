#include "libraries/catalogue_page.h"

#include "libraries/error_reporter.h"
#include "libraries/http_client.h"
#include "libraries/http_utility.h"
#include "util/code_page.h"
#include "util/error.h"

std::optional<QString> FetchCataloguePage(const QString& url, THttpClient& client,
                                          TErrorReporter& reporter)
{
    QString failure;
    try {
        return THttpUtility::GetText(url, client, kCodePageUnknown);
    } catch (const QuillmoorError& error) {
        failure = error.message();
    }
    // Reported outside the handler: the reporter may wait a long time for the
    // user, and may raise errors of its own.
    if (!client.IsAborted())
        reporter.ReportError(failure);
    return std::nullopt;
}
