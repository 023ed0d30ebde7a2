#include "libraries/hamura_lib.h"

#include "config/endpoints.h"
#include "libraries/common_lib.h"

namespace {

// Sent as it stands, parameter order and repeated parameters included: the
// catalogue's ISBN search form sends exactly this, and the ISBN goes last.
const QString kSearchPath = QStringLiteral(
    u"/cgi-bin/Sopcsken.sh?p_mode=1&g_mode=0&ryno=&c_key=&c_date=&list_cnt=&mad_list_cnt=&"
    u"brws=ncdet&ktyp9=shk%7Catk%7Cspk%7Ckek&itfg9=c&ser_type=0&stkb=&tgid=tyo%3A010A&"
    u"sgid=spno&srsl1=1&srsl2=2&srsl3=3&ktyp0=shk%7Cser&key0=&itfg0=c&ron0=a&ktyp1=atk&"
    u"key1=&itfg1=c&ron1=a&ktyp2=spk&key2=&itfg2=c&ron2=a&ktyp3=kek&key3=&itfg3=c&ron3=a&"
    u"ktyp4=kjk&key4=&itfg4=c&kkey=&skey=&tkey=");

} // namespace

QString THamuraLib::Search(const QString& isbn, THttpClient& client, TErrorReporter& reporter) const
{
    return TCommonLib::Search(endpoints_.BaseUrl(GetName()), isbn, client, reporter, kSearchPath);
}

QString THamuraLib::SearchUrl(const QString& isbn) const
{
    return TCommonLib::SearchUrl(endpoints_.BaseUrl(GetName()), kSearchPath, isbn);
}
