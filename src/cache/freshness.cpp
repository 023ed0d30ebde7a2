#include "cache/freshness.h"

namespace Freshness {

Age OfHolding(TVia via, TLibraryAnswer::TKind kind)
{
    if (via == TVia::Catalogue)
        return kCatalogueHolding;
    return kind == TLibraryAnswer::TKind::NotHeld ? kCalilNotHeld : kCalilStatus;
}

} // namespace Freshness
