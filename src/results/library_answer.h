#pragma once

#include <QDateTime>
#include <QString>

// What one library said about one book: it holds it (and where its record
// is), it does not, or it could not be asked. A failure must never read as
// "not held": on a broken network every book would seem to be missing.
struct TLibraryAnswer
{
    enum class TKind : quint8 { NotHeld, Found, Failed };

    // The cell texts of the two answers that are not an address.
    static inline const QString kNotHeldMarker = QStringLiteral("×");
    static inline const QString kFailureMarker = QStringLiteral("エラー");

    TKind Kind = TKind::NotHeld;
    // Found: the catalogue's record page.
    QString Url;
    // Found: the lending status where the source tells it (貸出可, 貸出中, ...).
    QString Status;
    // Failed: why the library could not be asked, as the user is told.
    QString Message;
    // When the answer was fetched, for an answer remembered from an earlier
    // search; null for one fetched by this search.
    QDateTime Fetched;

    // A scraper's answer: the record's address, or the empty text when the
    // catalogue does not hold the book.
    static TLibraryAnswer FromSearchResult(const QString& url);
    static TLibraryAnswer Failure(const QString& message);

    // The text of the cell and of the CSV field: the address, "×" or the
    // failure marker.
    QString CellText() const;
    bool IsFailure() const { return Kind == TKind::Failed; }

    friend bool operator==(const TLibraryAnswer&, const TLibraryAnswer&) = default;
};
