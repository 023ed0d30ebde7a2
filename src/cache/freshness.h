#pragma once

#include "results/library_answer.h"

#include <chrono>

// How long an answer is believed without asking again. Book data changes
// rarely; whether a library holds a book changes slowly; whether its copy
// is on the shelf changes daily.
namespace Freshness {

using Age = std::chrono::seconds;

inline constexpr Age kBookData = std::chrono::days(30);
// A catalogue scraper's answer, held or not.
inline constexpr Age kCatalogueHolding = std::chrono::days(7);
// Calil: a lending status goes stale within hours; "not held" keeps a week.
inline constexpr Age kCalilStatus = std::chrono::hours(6);
inline constexpr Age kCalilNotHeld = std::chrono::days(7);

// How a library was asked: its own catalogue, or through Calil.
enum class TVia { Catalogue, Calil };

Age OfHolding(TVia via, TLibraryAnswer::TKind kind);

} // namespace Freshness
