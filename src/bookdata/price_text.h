#pragma once

#include <QString>

// The yen amount of a price as the sources write it, as plain digits:
// "432" → 432, "3200円", "3,200円", "3200円+税", "￥3,200" → 3200. Where several
// numbers stand, the first one marked as yen wins ("2冊セット 5000円" → 5000),
// otherwise the first one. Decimals are no yen amount ("$12.95"), and a text
// without a number, or with one too large to be a price, gives the empty
// text. Full-width digits and commas count like ASCII ones.
QString PriceDigits(QStringView text);
