#include "results/book_data.h"

#include "books/isbn.h"

QString TBookData::GetNormalizedIsbn() const { return NormalizeIsbn(Isbn); }
