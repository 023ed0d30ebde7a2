#include "gui/url_opener.h"

#include <QDesktopServices>
#include <QUrl>

bool IsBrowsableUrl(const QString& url)
{
    const QUrl parsed(url, QUrl::TolerantMode);
    if (!parsed.isValid() || parsed.host().isEmpty())
        return false;
    const QString scheme = parsed.scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

bool OpenUrlInBrowser(const QString& url)
{
    if (!IsBrowsableUrl(url))
        return false;
    QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
    return true;
}
