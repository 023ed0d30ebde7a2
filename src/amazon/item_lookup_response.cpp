#include "amazon/item_lookup_response.h"

#include "amazon/untrusted_xml.h"
#include "amazon/xml_text.h"

#include <QDomNodeList>

QList<TBookData> ParseItemLookupResponse(const QString& text)
{
    const QDomDocument document = ParseUntrustedXml(text);
    const QDomElement items = document.documentElement().firstChildElement(QStringLiteral("Items"));
    QList<TBookData> books;
    if (items.isNull())
        return books;

    const QDomNodeList children = items.childNodes();
    const int count = children.size();
    for (int i = 0; i < count; ++i) {
        const QDomNode node = children.item(i);
        if (node.nodeName() != u"Item")
            continue;
        const QDomElement item = node.toElement();
        const QDomElement attributes = item.firstChildElement(QStringLiteral("ItemAttributes"));
        TBookData book;
        book.DetailPageUrl = ChildText(item, QStringLiteral("DetailPageURL"));
        book.Title = ChildText(attributes, QStringLiteral("Title"));
        book.Isbn = ChildText(attributes, QStringLiteral("ISBN"));
        book.Amount = GrandchildText(attributes, QStringLiteral("ListPrice"), QStringLiteral("Amount"));
        book.SalesRank = ChildText(item, QStringLiteral("SalesRank"));
        book.PublicationDate = ChildText(attributes, QStringLiteral("PublicationDate"));
        books.append(book);
    }
    return books;
}
