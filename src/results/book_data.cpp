#include "results/book_data.h"

#include "search/isbn.h"

QString TBookData::GetNormalizedIsbn() const { return NormalizeIsbn(Isbn); }
