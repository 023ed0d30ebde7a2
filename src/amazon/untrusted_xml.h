#pragma once

#include <QDomDocument>
#include <QString>

// Limits for XML that comes from the network. The bookseller's largest
// answers stay far below them; a document beyond them is refused before it
// is parsed, since the document parser slows down quadratically with the
// depth of nesting and the attributes of one element, and holds every node
// in memory.
struct TUntrustedXmlLimits final
{
    static constexpr qsizetype kMaxLength = 8 * 1024 * 1024; // characters
    static constexpr int kMaxDepth = 64;
    static constexpr int kMaxElements = 100'000;
    static constexpr int kMaxAttributesPerElement = 64;
    // Every node of the document (element, attribute, text, CDATA section,
    // comment, processing instruction) costs a few hundred bytes besides its
    // text, so a document of tiny nodes grows far beyond its own size.
    static constexpr int kMaxNodes = 200'000;
    // Characters of text, CDATA, comments, processing instructions and
    // attribute values, all together.
    static constexpr qsizetype kMaxTextLength = 2 * 1024 * 1024;
};

// Parses XML from the network. A document type declaration is refused, so no
// entity is ever expanded or fetched from outside (the bookseller never sends
// one), and so is a document beyond the limits above. Raises XmlError for
// those and for a document that is not well-formed.
QDomDocument ParseUntrustedXml(const QString& text);
