// The printer information table: which texts the kind, detail, state and
// date cells show for an entry of the printer's information reply. Pure code
// (no Windows headers): string numbers come in through a lookup.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace krx {

// Gives the decimal value of a string resource; false when it is missing.
using StringNumberLookup = std::function<bool(unsigned id, long* value)>;

struct InfoKindCells {
    unsigned kindTextId;
    unsigned detailTextId;
};

// The unit code IC1 picks a row by the values of strings 3120..3122, the
// kind code IC2 a column by the values of strings 3123 (A) and 3124 (B);
// no match shows the "none" text in both cells.
InfoKindCells LookUpInfoKind(unsigned ic1, unsigned ic2, const StringNumberLookup& numberOf);

// State cell text: IK2 1 and 2 have texts of their own, anything else none.
unsigned InfoStateTextId(unsigned ik2);

// True when the entry carries a date (PDY is not 0xFF).
bool InfoHasDate(unsigned pdy);

// Fills the date format text (a resource string) with two numbers, the
// year and the month of the century. Only integer conversions (%d, %i, %u,
// %x, %X with flags and a width) take the numbers, so a format text with
// other conversions cannot read arguments that are not there; anything else
// is copied as it stands.
std::string FormatInfoDate(const std::string& format, unsigned pdy, unsigned pdm);

} // namespace krx
