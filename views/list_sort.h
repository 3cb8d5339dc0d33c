// Sorting the row table by a column, and the band colours of the sorted column.
#pragma once

#include <vector>

// The text order of the user's locale (lstrcmpA in the program; byte order elsewhere).
using TextCompare = int (*)(const char*, const char*);
extern TextCompare compareText;

// Sorts rows 0..rowCount-1 by cell column, in the order that a selection sort with these
// comparisons gives (equal rows do not overtake the best so far), recolours the column's
// bands and sets sortColumn. Returns, for each new position, the row's old position.
std::vector<int> sortRowTable(int column, bool ascending);

// The leading decimal number of a text, 0 where there is none.
long long leadingNumber(const char* text);
