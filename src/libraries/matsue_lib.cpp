#include "libraries/matsue_lib.h"

#include "config/endpoints.h"
#include "libraries/common_lib.h"

namespace {

// Sent as it stands, parameter order and repeated parameters included: the
// catalogue's ISBN search form sends exactly this, and the ISBN goes last.
const QString kSearchPath = QStringLiteral(
    u"/cgi-bin/Sopcsken.sh?srsl1=1&tgid=tyo%3A010A&tkey=");

} // namespace

QString TMatsueLib::Search(const QString& isbn, THttpClient& client, TErrorReporter& reporter) const
{
    return TCommonLib::Search(endpoints_.BaseUrl(GetName()), isbn, client, reporter, kSearchPath);
}

QString TMatsueLib::SearchUrl(const QString& isbn) const
{
    return TCommonLib::SearchUrl(endpoints_.BaseUrl(GetName()), kSearchPath, isbn);
}
