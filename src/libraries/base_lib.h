#pragma once

#include <QString>

class THttpClient;
class TErrorReporter;

// One supported library catalogue. Backends hold no state of their own, so
// one object serves any number of searches, also at the same time.
class TBaseLib
{
public:
    virtual ~TBaseLib() = default;

    // Looks the ISBN up in the catalogue through the worker's client and
    // returns the URL of the record's detail page, or the empty text when the
    // catalogue does not hold the book or the request failed. A failed
    // request is told to the reporter, once, before the empty text returns.
    virtual QString Search(const QString& isbn, THttpClient& client,
                           TErrorReporter& reporter) const = 0;
    // The library's display name: its identity everywhere in the program.
    virtual QString GetName() const = 0;
    // The prefecture the library belongs to.
    virtual QString GetPref() const = 0;
};
