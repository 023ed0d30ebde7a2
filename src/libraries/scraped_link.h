#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Bounds on what the scrapers cut out of a result page. A real record key is
// a few dozen characters and a detail page URL a few hundred; anything longer
// is a page the scraper has misread, or one made to grow each result without
// limit, and is no match.
inline constexpr qsizetype kMaxRecordKeyLength = 256;
inline constexpr qsizetype kMaxDetailUrlLength = 2048;

// The URL, or the empty text when it is longer than kMaxDetailUrlLength.
QString BoundedDetailUrl(QString url);

// The rest of a double-quoted attribute value from `from` up to its closing
// quote. None when markup ("<", ">") or a line break comes first (the link
// was not written in double quotes) or when no quote ends it within
// kMaxDetailUrlLength characters.
std::optional<QStringView> QuotedValueUpToItsEnd(QStringView page, qsizetype from);
