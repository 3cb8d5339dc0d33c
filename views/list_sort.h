// Sorting the row table by a column, and the band colours of the sorted column.
#pragma once

#include <string>
#include <vector>

// The text order: the Chinese (PRC) locale's in the program, whatever the user's; byte order elsewhere.
using TextCompare = int (*)(const char*, const char*);
extern TextCompare compareText;
// A text's sort key: bytes whose byte order is compareText's order of the texts, so that a long
// list is ranked with one conversion per row instead of one per comparison (the locale's sort
// key in the program). Null: the texts are compared themselves.
using TextSortKey = std::string (*)(const char* text);
extern TextSortKey textSortKey;

// Sorts rows 0..rowCount-1 by cell column, in the order that a selection sort with these
// comparisons gives (equal rows do not overtake the best so far), recolours the column's
// bands and sets sortColumn. Returns, for each new position, the row's old position.
std::vector<int> sortRowTable(int column, bool ascending);

// The leading decimal number of a text, 0 where there is none.
long long leadingNumber(const char* text);
