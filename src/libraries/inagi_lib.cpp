#include "libraries/inagi_lib.h"

#include "config/endpoints.h"
#include "libraries/common_lib.h"

namespace {

// Sent as it stands, parameter order and repeated parameters included: the
// catalogue's ISBN search form sends exactly this, and the ISBN goes last.
const QString kSearchPath = QStringLiteral(
    u"/cgi-bin/Sopcsken.sh?p_mode=1&g_mode=0&ryno=&c_key=&c_date=&list_cnt=10&"
    u"mad_list_cnt=&brws=ncdet&ktyp9=shk%7Catk%7Cspk%7Ckek%7Cser&itfg9=c&ser_type=0&stkb=&"
    u"tgid=tyo%3A010A&sgid=spno&srsl1=1&srsl2=2&srsl3=3&ktyp0=shk%7Cser&key0=&itfg0=c&"
    u"ron0=a&ktyp1=atk&key1=&itfg1=c&ron1=a&ktyp2=spk&key2=&itfg2=c&ron2=a&ktyp3=kek&"
    u"key3=&itfg3=c&ron3=a&ktyp4=kjk&key4=&itfg4=c&kkey=&skey=&srkbs=&lckns=10&lckns=01&"
    u"lckns=02&lckns=03&lckns=04&tkey=");

} // namespace

QString TInagiLib::Search(const QString& isbn, THttpClient& client, TErrorReporter& reporter) const
{
    return TCommonLib::Search(endpoints_.BaseUrl(GetName()), isbn, client, reporter, kSearchPath);
}

QString TInagiLib::SearchUrl(const QString& isbn) const
{
    return TCommonLib::SearchUrl(endpoints_.BaseUrl(GetName()), kSearchPath, isbn);
}
