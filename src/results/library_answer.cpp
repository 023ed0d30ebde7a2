#include "results/library_answer.h"

TLibraryAnswer TLibraryAnswer::FromSearchResult(const QString& url)
{
    if (url.isEmpty())
        return {};
    return {TKind::Found, url, {}, {}, {}};
}

TLibraryAnswer TLibraryAnswer::Failure(const QString& message)
{
    return {TKind::Failed, {}, {}, message, {}};
}

QString TLibraryAnswer::CellText() const
{
    switch (Kind) {
    case TKind::Found: return Url;
    case TKind::Failed: return kFailureMarker;
    case TKind::NotHeld: break;
    }
    return kNotHeldMarker;
}
