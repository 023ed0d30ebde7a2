#pragma once

#include <QDomElement>
#include <QString>

// Reading values out of a document element by element.

// The text an element holds: its one text or CDATA child, or the empty text
// when it has no content (or is null). Any other content, child elements for
// example, raises XmlError.
QString NodeText(const QDomElement& element);

// NodeText of the element's first direct child of that name; empty for a
// null element or a missing child.
QString ChildText(const QDomElement& element, const QString& name);

// ChildText of the element's first direct child named `childName`.
QString GrandchildText(const QDomElement& element, const QString& childName,
                       const QString& grandchildName);
