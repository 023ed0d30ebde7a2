#pragma once

#include <QString>

// Calil's own page of a book, where its holdings in every library are shown:
// https://calil.jp/book/<ISBN-10>. Empty for a key that holds anything but
// 0-9, x and X.
QString CalilBookUrl(const QString& isbn);
