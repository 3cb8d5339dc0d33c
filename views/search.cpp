// Keyword search: the tree collapsed and opened to every hit, the hits painted in the signal
// colour, the count told, and a new word added to the search box and its history file.
#include "search.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app_state.h"
#include "database.h"
#include "gbktext.h"
#include "list_view.h"
#include "search_core.h"
#include "tree_model.h"
#include "tree_view.h"
#include "wide_text.h"

namespace {

HTREEITEM searchMatches[kMaxSearchMatches];
int matchCount = 0;

} // namespace

int findMatches(HWND tree, char* text) {
    matchCount = 0;
    foldSearchText(text);
    std::vector<SearchHit> hits = findSearchHits(text);
    // The tree is opened down to every hit: each node above a hit is expanded once, and the last hit visited
    // is scrolled into view.
    std::vector<uint8_t> open(size_t(dataStore.treeNodeCount), 0);
    auto openAbove = [&](int32_t node) {
        for (; node >= 0 && !open[size_t(node)]; node = treeModel.shownParent[size_t(node)])
            open[size_t(node)] = 1;
    };
    for (const SearchHit& hit : hits) {
        HTREEITEM item;
        if (hit.listing) {
            int32_t node = dataStore.companyTree[hit.index].node;
            makeCompanyItems(tree, node);
            item = static_cast<HTREEITEM>(dataStore.companyTree[hit.index].treeItem);
            openAbove(node);
        } else {
            item = static_cast<HTREEITEM>(dataStore.treeNodes[hit.index].treeItem);
            openAbove(treeModel.shownParent[size_t(hit.index)]);
        }
        if (item) searchMatches[matchCount++] = item;
    }
    // The tree was closed: nodes below the top level are marked open while out of sight, then
    // the top-level nodes open as the user would open them.
    std::vector<int32_t> order = nodeInsertionOrder();
    for (auto node = order.rbegin(); node != order.rend(); ++node) {
        if (!open[size_t(*node)]) continue;
        // A node opened only as the way to a hit shows its own companies too.
        makeCompanyItems(tree, *node);
        auto item = static_cast<HTREEITEM>(dataStore.treeNodes[*node].treeItem);
        if (treeModel.shownParent[size_t(*node)] == -1)
            SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        else
            setExpandedState(tree, item, true);
    }
    if (matchCount > 0)
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(searchMatches[matchCount - 1]));
    return matchCount;
}

void runSearch(HWND tree, HWND container, int boxId) {
    wchar_t typed[kSearchTextLimit + 1] = {};
    int typedLength = GetDlgItemTextW(container, boxId, typed, int(std::size(typed)));
    if (typedLength <= 0) return;
    // A character that GBK cannot hold is in no catalogue text and in no history line: such a
    // search finds nothing and is not kept.
    std::string gbk;
    const bool held = narrowToGbk(typed, size_t(typedLength), gbk);
    char text[kSearchTextLimit + 1] = {};
    if (held) copyToField(text, sizeof text, gbk.data(), gbk.size());
    int found = 0;
    {
        RedrawPause pause(tree);
        collapseAll(tree);
        if (held)
            found = findMatches(tree, text);
        else
            clearSearchMatches();
    }

    char count[64];
    std::snprintf(count, sizeof count, "' 的信息 %d 条!", found);
    const std::wstring message =
        widenGbk("找到了有关 '") + (held ? widenGbk(text) : std::wstring(typed)) + widenGbk(count);
    if (held) {
        const std::wstring kept = widenGbk(text);
        HWND box = GetDlgItem(container, boxId);
        LRESULT listed =
            SendMessageW(box, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(kept.c_str()));
        if (listed == CB_ERR) {
            LRESULT inserted = SendMessageW(box, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(kept.c_str()));
            appendSearchHistory(settings.searchHistoryPath, text); // a failed append loses only this record
            if (inserted != CB_ERR && inserted != CB_ERRSPACE)
                SendMessageW(box, CB_SETCURSEL, WPARAM(inserted), 0);
        } else {
            SendMessageW(box, CB_SETCURSEL, WPARAM(listed), 0);
        }
    }
    MessageBoxW(nullptr, message.c_str(), L"", MB_ICONINFORMATION);
}

bool isSearchMatch(HTREEITEM item) {
    for (int i = 0; i < matchCount; ++i)
        if (searchMatches[i] == item) return true;
    return false;
}

void clearSearchMatches() {
    matchCount = 0;
}

int searchMatchCount() {
    return matchCount;
}
