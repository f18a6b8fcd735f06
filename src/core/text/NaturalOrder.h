#pragma once

#include <compare>
#include <string>
#include <string_view>

namespace quellstone::text {

// Compares two texts as people sort file names: a run of ASCII digits counts
// by its number, so "x (2).arc" comes before "x (10).arc" (of equal numbers,
// the run with fewer leading zeros first when nothing else differs), and
// everything else byte by byte. Letter case counts: compare the keys of
// NaturalKey for an order without it.
std::strong_ordering NaturalCompare(std::string_view a, std::string_view b);

// What a name is sorted by when letter case does not count: its upper-cased
// text. Made once per name, so that a sort does not upper-case at every comparison.
std::string NaturalKey(std::string_view name);

// Name order without regard to letter case, numbers by their value; names
// that differ only in case are ordered by their bytes, so the order is total.
bool NaturalLess(std::string_view keyA, std::string_view a, std::string_view keyB, std::string_view b);

}  // namespace quellstone::text
