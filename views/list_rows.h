// The one table of rows behind the list view and the fills that write it from the DataStore.
#pragma once

#include <cstddef>
#include <cstdint>

#include "database.h"

enum ListKind : uint8_t {
    kSubCategories = 0,
    kCompanyGroups = 1,
    kCompanies = 2,
    kProducts = 3,
    kTopCategories = 100,
    kNotebook = 200,
};

// The table starts with room for 500 rows and doubles when a list needs more; up to 500 rows a
// sort gives the order of the selection sort the program always had.
inline constexpr int kRowCapacity = 500;
inline constexpr int kCellCount = 13;
inline constexpr size_t kCellSize = 80;
inline constexpr int8_t kNoSortColumn = 20;
inline constexpr uint8_t kPlainBand = 10;

struct ListRow {
    char cells[kCellCount][kCellSize];
    uint8_t bandColour; // 0..9 a band colour, 10 plain
    // The record the row was read from where its list has no tree item: a notebook row's entry
    // in the file, counted from 0. It moves with the row when the rows are sorted.
    int32_t sourceIndex;
    TreeItemHandle treeItem;
};

// The column sets of the list, each with its own columns.
enum class ColumnSet : uint8_t { kNone, kCategories, kCompanies, kProducts, kNotebook };

// Everything the list shows and how, in one place; a new list control starts from ListState{}.
// The rows themselves are in the table (rowTable).
struct ListState {
    int rowCount = 0;
    ListKind listKind = kTopCategories;
    int8_t sortColumn = kNoSortColumn;
    bool sortAscending = false;
    // The company the user deals with: a clicked row's, a product list's; kNoCompanyIndex none.
    int32_t currentCompany = kNoCompanyIndex;
    // The columns the control has now.
    ColumnSet columns = ColumnSet::kNone;
};

extern ListState listState;
// The list state's current company, under the name the whole program knows it by.
inline int32_t& currentCompany = listState.currentCompany;

// The table lives in dataStore.listRowBuffer (released with the database); null until allocated.
// Only the functions here allocate it, so they know its size.
ListRow* rowTable();
// The rows the table has room for now.
int rowTableCapacity();
// Allocates the table when it is missing; on failure tells the user and returns false.
bool ensureRowTable();
// The next row, cleared, the table grown when it is full; null when the table is missing or
// cannot grow (the user is told). A grown table moves: earlier row pointers are stale.
ListRow* appendRow();

// Called before a node's listings are read for rows, so that their tree items exist (the tree
// makes a node's company items when they are first needed); context is the caller's own (the
// tree that makes them).
struct ListingItemsHook {
    void (*prepare)(void* context, int32_t node) = nullptr;
    void* context = nullptr;
};
extern ListingItemsHook prepareListingItems;

// Writes the rows of a node's list (node -1: the top level) and sets listKind, sortColumn and
// currentCompany; false when the table could not be allocated.
bool fillNodeRows(int32_t node);
// Writes the product rows of company (kNoCompany: none) and sets currentCompany.
void fillProductRows(int32_t company);
// The columns a list kind shows; kNone for a kind whose set is not the list's own.
ColumnSet columnSetOf(ListKind kind);

// "￥12.50", or "电询" when there is no price.
void formatPrice(float price, char* text, size_t capacity);
