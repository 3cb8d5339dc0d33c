// Fuzz target for the views' portable half on whatever the loader accepts: the input is a
// database stream, loaded as in fuzz_loader; then the tree is placed, every node's list and
// every company's products are filled and sorted, and every item's address path and file name
// are made.
// Asserts what the windows rely on: nodes come after the node they are shown under and
// parents never loop, rows stay within the table, cells and paths are terminated inside
// their buffers, sorting permutes the rows into order, bands stay in range.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "container.h"
#include "database.h"
#include "fuzz_support.h"
#include "list_export.h"
#include "list_rows.h"
#include "list_sort.h"
#include "lzw.h"
#include "tree_model.h"

namespace {

TreeItemHandle fakeItem(uintptr_t n) {
    return reinterpret_cast<TreeItemHandle>(n + 1);
}

void checkRows(bool sorted, int column, bool ascending) {
    if (listState.rowCount < 0 || listState.rowCount > rowTableCapacity())
        fuzz::fail("row count outside the table");
    const ListRow* rows = rowTable();
    for (int r = 0; r < listState.rowCount; ++r) {
        for (int c = 0; c < kCellCount; ++c)
            if (strnlen(rows[r].cells[c], kCellSize) >= kCellSize)
                fuzz::fail("a cell without its terminator");
        if (rows[r].bandColour > kPlainBand) fuzz::fail("a band colour outside the table");
        if (sorted && rows[r].bandColour > 8) fuzz::fail("a sorted band past colour 8");
        if (sorted && r > 0) {
            int order = compareText(rows[r - 1].cells[column], rows[r].cells[column]);
            bool numeric =
                column == 1 && (listState.listKind == kTopCategories || listState.listKind == kSubCategories);
            if (!numeric && (ascending ? order > 0 : order < 0)) fuzz::fail("rows out of order after a sort");
        }
    }
}

// The file name proposed from what a list shows: whole characters a file name can hold, ".csv".
void checkExportName(const std::string& shownName) {
    std::string name = exportFileName(shownName);
    if (name.size() < 5 || name.size() > 154 || name.compare(name.size() - 4, 4, ".csv") != 0)
        fuzz::fail("a proposed file name of the wrong shape");
    for (size_t i = 0; i + 4 < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x81 && c <= 0xFE) {
            ++i;
            continue;
        }
        if (c < 0x20 || c >= 0x7F || std::strchr("\\/:*?\"<>|", c)) fuzz::fail("a file name that cannot be");
    }
}

// The copied rows: one line for the titles and one for each row, whatever the cells hold.
void checkTabText() {
    const ListRow* table = rowTable();
    if (!table) return;
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < listState.rowCount; ++r) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (const char* cell : table[r].cells)
            cells.emplace_back(cell, strnlen(cell, kCellSize));
    }
    std::string text = listToTabText(std::vector<std::string>(kCellCount, "t"), rows);
    size_t lines = 0, returns = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\r') ++returns;
        if (text[at] != '\n') continue;
        if (at == 0 || text[at - 1] != '\r') fuzz::fail("a line break inside a copied row");
        ++lines;
    }
    if (lines != size_t(listState.rowCount) + 1 || returns != lines)
        fuzz::fail("copied rows split or joined");

    // The saved file: as many records as rows and a title line, read as RFC 4180 reads them.
    std::string csv = listToCsv(std::vector<std::string>(kCellCount, "t"), rows,
                                [](const std::string& gbk) { return gbk; });
    size_t records = 0;
    bool quoted = false;
    for (size_t at = 0; at < csv.size(); ++at) {
        if (csv[at] == '"') quoted = !quoted;
        if (!quoted && csv[at] == '\n') ++records;
    }
    if (quoted || records != size_t(listState.rowCount) + 1) fuzz::fail("saved rows split or joined");
}

void fillSortAndCheck(int column, bool ascending) {
    checkRows(false, 0, true);
    checkTabText();
    std::vector<int> moved = sortRowTable(column, ascending);
    std::vector<char> seen(moved.size(), 0);
    for (int from : moved) {
        if (from < 0 || size_t(from) >= moved.size() || seen[size_t(from)])
            fuzz::fail("a sort that is no permutation");
        seen[size_t(from)] = 1;
    }
    checkRows(true, column, ascending);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::setUpProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::loadStream(data, size);
    const DataStore& d = dataStore;
    listState = ListState{};

    buildTreeModel();
    std::vector<char> placed(size_t(d.treeNodeCount), 0);
    for (int32_t node : nodeInsertionOrder()) {
        if (node < 0 || node >= d.treeNodeCount || placed[size_t(node)])
            fuzz::fail("a node placed twice or outside");
        int32_t parent = treeModel.shownParent[size_t(node)];
        if (parent >= 0 && !placed[size_t(parent)]) fuzz::fail("a node before the node it is shown under");
        placed[size_t(node)] = 1;
        registerNodeItem(node, fakeItem(uintptr_t(node)));
    }
    for (int32_t n = 0; n < d.treeNodeCount; ++n) {
        if (placed[size_t(n)] != treeModel.placed[size_t(n)])
            fuzz::fail("a placed node left out of the order");
        for (const int32_t* l = treeModel.listings.begin(size_t(n)); l != treeModel.listings.end(size_t(n));
             ++l) {
            const CompanyLink& link = d.companyLinks[*l];
            if (link.node != n || link.company < 0 || link.company >= d.companyCount || !link.valid)
                fuzz::fail("a listing shown that cannot be");
            registerListingItem(*l, fakeItem(uintptr_t(d.treeNodeCount) + uintptr_t(*l)));
        }
    }

    char path[kAddressPathCapacity];
    for (const auto& [item, record] : treeModel.itemRecord) {
        addressPathOfItem(item, path, sizeof path);
        if (strnlen(path, sizeof path) >= sizeof path) fuzz::fail("an address path without its terminator");
        checkExportName(shownListName(kCompanies, item));
        int32_t company = companyOfTreeItem(item);
        if (company != kNoCompany && (company < 0 || company >= d.companyCount))
            fuzz::fail("a company outside");
    }

    int column = size > 0 ? data[size / 2] % kCellCount : 0;
    for (int32_t node = -1; node < d.treeNodeCount && node < 400; ++node) {
        if (!fillNodeRows(node)) fuzz::fail("the row table could not be had");
        fillSortAndCheck(column, node % 2 == 0);
    }
    for (int32_t company = 0; company < d.companyCount && company < 400; ++company) {
        fillProductRows(company);
        fillSortAndCheck(column, company % 2 != 0);
    }
    freeDatabase();
    return 0;
}
