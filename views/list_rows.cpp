// Fills of the row table: categories, companies by node and group, a company's products.
#include "list_rows.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gbktext.h"
#include "platform.h"
#include "tree_model.h"

ListState listState;
ListingItemsHook prepareListingItems;

namespace {

// The table these functions allocated last and its room in rows.
void* sizedTable = nullptr;
int sizedRows = 0;

bool growRowTable() {
    int rows = rowTableCapacity();
    if (rows > INT_MAX / 2) return false;
    void* grown = allocateZeroed(size_t(rows) * 2, sizeof(ListRow));
    if (!grown) return false;
    std::memcpy(grown, dataStore.listRowBuffer, size_t(rows) * sizeof(ListRow));
    std::free(dataStore.listRowBuffer);
    dataStore.listRowBuffer = sizedTable = grown;
    sizedRows = rows * 2;
    return true;
}

template <size_t N> void setCell(ListRow& row, int cell, const char (&field)[N]) {
    copyToField(row.cells[cell], kCellSize, field, fieldTextLength(field, N));
}

void setCell(ListRow& row, int cell, const char* text) {
    copyToField(row.cells[cell], kCellSize, text, std::strlen(text));
}

void setPosition(ListRow& row, int cell, int position) {
    std::snprintf(row.cells[cell], kCellSize, "%d", position);
}

void addCategoryRow(int32_t node) {
    ListRow* row = appendRow();
    if (!row) return;
    setCell(*row, 0, categoryNameOfNode(node));
    setPosition(*row, 1, listState.rowCount);
    row->bandColour = kPlainBand;
    row->treeItem = dataStore.treeNodes[node].treeItem;
}

void addCompanyRows(int32_t node, uint8_t band) {
    if (prepareListingItems.prepare) prepareListingItems.prepare(prepareListingItems.context, node);
    const IndexLists& listings = treeModel.listings;
    for (const int32_t* l = listings.begin(size_t(node)); l != listings.end(size_t(node)); ++l) {
        ListRow* row = appendRow();
        if (!row) return;
        const CompanyRecord& c = dataStore.companies[dataStore.companyLinks[*l].company];
        setCell(*row, 0, categoryNameOfParent(node));
        setCell(*row, 1, categoryNameOfNode(node));
        setCell(*row, 2, c.name);
        setCell(*row, 3, c.phone);
        setCell(*row, 4, c.contact);
        setCell(*row, 5, c.fax);
        setCell(*row, 6, c.website);
        setCell(*row, 7, c.email);
        setCell(*row, 8, c.address);
        setCell(*row, 9, c.postcode);
        setCell(*row, 10, c.bank);
        setCell(*row, 11, c.account);
        setCell(*row, 12, c.taxNumber);
        row->bandColour = band;
        row->treeItem = dataStore.companyTree[*l].treeItem;
    }
}

// The byte that decides a product row's band: index 3 of its name, 0 past a shorter name.
unsigned char bandByte(const char* cell) {
    return std::memchr(cell, '\0', 4) ? 0 : static_cast<unsigned char>(cell[3]);
}

} // namespace

ListRow* rowTable() {
    return static_cast<ListRow*>(dataStore.listRowBuffer);
}

int rowTableCapacity() {
    if (!dataStore.listRowBuffer) return 0;
    return dataStore.listRowBuffer == sizedTable ? sizedRows : kRowCapacity;
}

bool ensureRowTable() {
    if (dataStore.listRowBuffer) return true;
    dataStore.listRowBuffer = sizedTable = allocateZeroed(kRowCapacity, sizeof(ListRow));
    sizedRows = kRowCapacity;
    if (dataStore.listRowBuffer) return true;
    platform.showMessage("内存不够用!");
    return false;
}

ListRow* appendRow() {
    if (!rowTable()) return nullptr;
    if (listState.rowCount >= rowTableCapacity() && !growRowTable()) {
        platform.showMessage("内存不够用!");
        return nullptr;
    }
    ListRow* row = &rowTable()[listState.rowCount++];
    std::memset(row, 0, sizeof *row);
    return row;
}

bool fillNodeRows(int32_t node) {
    currentCompany = kNoCompany;
    if (!ensureRowTable()) {
        listState.rowCount = 0;
        return false;
    }
    listState.rowCount = 0;
    listState.sortColumn = kNoSortColumn;
    const IndexLists& children = treeModel.children;
    if (node < -1 || node >= dataStore.treeNodeCount || children.start.empty()) return true;
    size_t key = size_t(node + 1);
    if (node == -1) {
        listState.listKind = kTopCategories;
        for (const int32_t* c = children.begin(key); c != children.end(key); ++c)
            addCategoryRow(*c);
        return true;
    }
    switch (childKindOfNode(node)) {
    case kNoChildNode:
        if (dataStore.treeNodes[node].kind == kLeafNode) {
            listState.listKind = kCompanies;
            addCompanyRows(node, kPlainBand);
        }
        break;
    case kGroupChildren:
        listState.listKind = kSubCategories;
        for (const int32_t* c = children.begin(key); c != children.end(key); ++c)
            addCategoryRow(*c);
        break;
    case kLeafChildren: {
        listState.listKind = kCompanyGroups;
        listState.sortColumn = 1;
        int group = 0;
        for (const int32_t* c = children.begin(key); c != children.end(key); ++c) {
            if (dataStore.treeNodes[*c].kind != kLeafNode) continue;
            addCompanyRows(*c, uint8_t(group % 10));
            ++group;
        }
        break;
    }
    }
    return true;
}

void fillProductRows(int32_t company) {
    listState.sortColumn = 0;
    listState.rowCount = 0;
    listState.listKind = kProducts;
    currentCompany = company >= 0 && company < dataStore.companyCount ? company : kNoCompany;
    if (currentCompany == kNoCompany || !rowTable()) return;
    const IndexLists& products = treeModel.products;
    if (size_t(company) + 1 >= products.start.size()) return;
    for (const int32_t* i = products.begin(size_t(company)); i != products.end(size_t(company)); ++i) {
        ListRow* row = appendRow();
        if (!row) return;
        const ProductRecord& p = dataStore.products[*i];
        setCell(*row, 0, categoryNameOfParent(p.node));
        setCell(*row, 1, categoryNameOfNode(p.node));
        setCell(*row, 2, p.model);
        setCell(*row, 3, p.configuration);
        formatPrice(p.price, row->cells[4], kCellSize);
        setCell(*row, 5, p.unit);
        setCell(*row, 6, p.origin);
        setCell(*row, 7, p.remarks);
        int r = listState.rowCount - 1;
        setPosition(*row, 8, r + 1);
        const ListRow* previous = r > 0 ? row - 1 : nullptr;
        if (!previous)
            row->bandColour = 0;
        else if (bandByte(row->cells[0]) == bandByte(previous->cells[0]))
            row->bandColour = previous->bandColour;
        else
            row->bandColour = uint8_t(r % 8);
    }
}

ColumnSet columnSetOf(ListKind kind) {
    switch (kind) {
    case kTopCategories:
    case kSubCategories: return ColumnSet::kCategories;
    case kCompanyGroups:
    case kCompanies: return ColumnSet::kCompanies;
    case kProducts: return ColumnSet::kProducts;
    default: return ColumnSet::kNone;
    }
}

void formatPrice(float price, char* text, size_t capacity) {
    double yuan = price;
    if (!(yuan > 0) || std::isinf(yuan)) {
        std::snprintf(text, capacity, "%s", "电询");
        return;
    }
    // Prices are kept in single precision: 0.29 is stored as 0.28999999, so the fen are
    // rounded to the nearest, not cut.
    double fen = std::round(yuan * 100.0);
    if (fen < 9.0e18) {
        long long whole = static_cast<long long>(fen);
        std::snprintf(text, capacity, "￥%lld.%02lld", whole / 100, whole % 100);
    } else {
        std::snprintf(text, capacity, "￥%.2f", fen / 100.0);
    }
}
