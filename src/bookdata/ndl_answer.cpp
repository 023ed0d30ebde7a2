#include "bookdata/ndl_answer.h"

#include "amazon/untrusted_xml.h"
#include "bookdata/price_text.h"
#include "bookdata/publication_date.h"
#include "util/error.h"
#include "util/text_trim.h"

#include <QDomElement>
#include <QUrl>

namespace {

constexpr qsizetype kMaxFieldLength = 2000;

// The text of a child element by its name as the service writes it (the
// answer is read without namespace processing, and NDL Search writes the
// usual prefixes); empty when missing or absurdly long.
QString ChildText(const QDomElement& item, const QString& name)
{
    const QString text = TrimBlanks(item.firstChildElement(name).text());
    return text.size() <= kMaxFieldLength ? text : QString();
}

QString WebAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const bool web = url.isValid() && (url.scheme() == u"https" || url.scheme() == u"http") && !url.host().isEmpty();
    return web ? text : QString();
}

} // namespace

std::optional<TBookFacts> ParseNdlAnswer(const QString& xml)
{
    const QDomDocument document = ParseUntrustedXml(xml);
    const QDomElement rss = document.documentElement();
    const QDomElement channel = rss.firstChildElement(QStringLiteral("channel"));
    if (rss.tagName() != u"rss" || channel.isNull())
        throw XmlError(QStringLiteral("The answer of NDL Search is not an RSS feed."));
    const QDomElement item = channel.firstChildElement(QStringLiteral("item"));
    if (item.isNull())
        return std::nullopt; // no hit: totalResults 0

    TBookFacts facts;
    facts.Title = ChildText(item, QStringLiteral("dc:title"));
    if (facts.Title.isEmpty())
        facts.Title = ChildText(item, QStringLiteral("title"));
    facts.Amount = PriceDigits(ChildText(item, QStringLiteral("dcndl:price")));
    facts.PublicationDate = NormalizePublicationDate(ChildText(item, QStringLiteral("dcterms:issued")));
    if (facts.PublicationDate.isEmpty())
        facts.PublicationDate = NormalizePublicationDate(ChildText(item, QStringLiteral("dc:date")));
    facts.DetailPageUrl = WebAddress(ChildText(item, QStringLiteral("link")));
    return facts;
}
