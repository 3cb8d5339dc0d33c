// Column sort of the row table. Rows are ranked once with the text order, then placed by a
// selection sort over the ranks, which gives the order that comparing texts inside the
// selection sort would give, at n log n text comparisons; past 500 rows by a stable sort.
#include "list_sort.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "list_rows.h"

TextCompare compareText = [](const char* a, const char* b) { return std::strcmp(a, b); };
TextSortKey textSortKey = nullptr;

namespace {

// Moves the cells, tree item and source of row from to row to; the bands stay with the
// positions, they are worked out again after a sort.
void moveRowContent(ListRow& to, const ListRow& from) {
    std::memcpy(to.cells, from.cells, sizeof to.cells);
    to.treeItem = from.treeItem;
    to.sourceIndex = from.sourceIndex;
}

// The order of the selection sort: for each place the first best row of the rest, exchanged
// with the row there.
void selectionOrder(ListRow* table, std::vector<int>& rank, std::vector<int>& moved, bool ascending) {
    const int count = int(moved.size());
    for (int i = 0; i < count; ++i) {
        int best = i;
        for (int k = i + 1; k < count; ++k) {
            int difference = rank[size_t(best)] - rank[size_t(k)];
            if (ascending ? difference > 0 : difference < 0) best = k;
        }
        if (best == i) continue;
        ListRow exchanged = table[i];
        moveRowContent(table[i], table[best]);
        moveRowContent(table[best], exchanged);
        std::swap(rank[size_t(i)], rank[size_t(best)]);
        std::swap(moved[size_t(i)], moved[size_t(best)]);
    }
}

// Longer lists: a stable sort by the same ranks (the selection sort's n squared steps would
// keep the user waiting), the rows then put in place cycle by cycle through one spare row.
void stableOrder(ListRow* table, const std::vector<int>& rank, std::vector<int>& moved, bool ascending) {
    std::stable_sort(moved.begin(), moved.end(), [&](int a, int b) {
        return ascending ? rank[size_t(a)] < rank[size_t(b)] : rank[size_t(a)] > rank[size_t(b)];
    });
    std::vector<uint8_t> placed(moved.size(), 0);
    for (size_t start = 0; start < moved.size(); ++start) {
        if (placed[start] || moved[start] == int(start)) continue;
        ListRow spare = table[start];
        size_t at = start;
        for (;;) {
            placed[at] = 1;
            size_t from = size_t(moved[at]);
            if (from == start) {
                moveRowContent(table[at], spare);
                break;
            }
            moveRowContent(table[at], table[from]);
            at = from;
        }
    }
}

} // namespace

long long leadingNumber(const char* text) {
    long long value = 0;
    for (size_t i = 0; i < kCellSize && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), 1000000000000LL);
    return value;
}

std::vector<int> sortRowTable(int column, bool ascending) {
    std::vector<int> moved;
    ListRow* table = rowTable();
    if (column < 0 || column >= kCellCount) return moved;
    listState.sortColumn = int8_t(column);
    const int count = table ? listState.rowCount : 0;
    moved.resize(size_t(count));
    std::iota(moved.begin(), moved.end(), 0);
    if (count == 0) return moved;

    const bool numeric =
        column == 1 && (listState.listKind == kTopCategories || listState.listKind == kSubCategories);
    std::vector<long long> numbers(static_cast<size_t>(count));
    if (numeric)
        for (int r = 0; r < count; ++r)
            numbers[size_t(r)] = leadingNumber(table[r].cells[1]);
    std::vector<std::string> keys(numeric || !textSortKey ? 0 : size_t(count));
    for (size_t r = 0; r < keys.size(); ++r)
        keys[r] = textSortKey(table[r].cells[column]);
    auto compare = [&](int a, int b) -> long long {
        if (numeric) return numbers[size_t(a)] - numbers[size_t(b)];
        if (!keys.empty()) return keys[size_t(a)].compare(keys[size_t(b)]);
        return compareText(table[a].cells[column], table[b].cells[column]);
    };

    // Rank: rows that compare equal share a rank.
    std::vector<int> byOrder(moved);
    std::stable_sort(byOrder.begin(), byOrder.end(), [&](int a, int b) { return compare(a, b) < 0; });
    std::vector<int> rank(static_cast<size_t>(count));
    for (int i = 0, r = 0; i < count; ++i) {
        if (i > 0 && compare(byOrder[size_t(i - 1)], byOrder[size_t(i)]) != 0) ++r;
        rank[size_t(byOrder[size_t(i)])] = r;
    }

    const std::vector<int> rankOf(rank); // by the rows' old places
    if (count <= kRowCapacity)
        selectionOrder(table, rank, moved, ascending);
    else
        stableOrder(table, rank, moved, ascending);

    uint8_t counter = ascending ? 0 : 3;
    table[0].bandColour = counter;
    for (int r = 1; r < count; ++r) {
        // Equal texts share a band; outside the numeric order, equal texts are equal ranks.
        bool same = numeric ? compareText(table[r].cells[column], table[r - 1].cells[column]) == 0
                            : rankOf[size_t(moved[size_t(r)])] == rankOf[size_t(moved[size_t(r - 1)])];
        if (same) {
            table[r].bandColour = table[r - 1].bandColour;
        } else {
            ++counter;
            table[r].bandColour = uint8_t(counter % 9);
        }
    }
    return moved;
}
