#pragma once

#include <QString>

// Keeps only the characters 0-9, x and X of a text, in their order and case.
QString NormalizeIsbn(const QString& text);

// The ISBN-10 form of a normalised ISBN of 13 or more characters: characters
// 4 to 12 followed by their check character (0-9 or X). Shorter texts come
// back unchanged. An x or X among characters 4 to 12 raises ConversionError.
QString Isbn13ToIsbn10(const QString& isbn);
