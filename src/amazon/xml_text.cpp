#include "amazon/xml_text.h"

#include "util/error.h"

#include <QDomNodeList>

QString NodeText(const QDomElement& element)
{
    if (element.isNull())
        return QString();
    const QDomNodeList children = element.childNodes();
    if (children.isEmpty())
        return QString();
    if (children.size() == 1) {
        const QDomNode child = children.item(0);
        if (child.isText() || child.isCDATASection())
            return child.nodeValue();
    }
    throw XmlError(QStringLiteral("The element %1 holds more than text.").arg(element.tagName()));
}

QString ChildText(const QDomElement& element, const QString& name)
{
    if (element.isNull())
        return QString();
    return NodeText(element.firstChildElement(name));
}

QString GrandchildText(const QDomElement& element, const QString& childName,
                       const QString& grandchildName)
{
    if (element.isNull())
        return QString();
    return ChildText(element.firstChildElement(childName), grandchildName);
}
