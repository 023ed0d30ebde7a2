#include "bookdata/book_facts.h"

bool TBookFacts::IsEmpty() const
{
    return Title.isEmpty() && Amount.isEmpty() && PublicationDate.isEmpty() && DetailPageUrl.isEmpty();
}

void TBookFacts::FillMissingFrom(const TBookFacts& other)
{
    for (auto field : {&TBookFacts::Title, &TBookFacts::Amount, &TBookFacts::PublicationDate,
                       &TBookFacts::DetailPageUrl}) {
        if ((this->*field).isEmpty())
            this->*field = other.*field;
    }
}

TBookData TBookFacts::ToBookData(const QString& isbn) const
{
    TBookData book;
    book.Isbn = isbn;
    book.Title = Title;
    book.Amount = Amount;
    book.PublicationDate = PublicationDate;
    book.DetailPageUrl = DetailPageUrl;
    return book;
}
