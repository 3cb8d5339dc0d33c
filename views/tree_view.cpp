// The tree view: category nodes in their places, the still-valid companies under the nodes
// they are filed under, and the item -> record index of the tree model.
#include "tree_view.h"

#include <iterator>

#include "app_state.h"
#include "display_scale.h"
#include "image_lists.h"
#include "list_rows.h"
#include "list_view.h"
#include "resource.h"
#include "search.h"
#include "status_bar.h"
#include "tree_model.h"
#include "wide_text.h"

namespace {

enum TreeImage { kCompanyImage = 0, kCompanySelectedImage = 1, kFolderImage = 3, kFolderOpenImage = 4 };

// A node's company items are made when the node first opens or its list is first shown: the
// large catalogues file tens of thousands of companies, which the tree need not hold at start.
std::vector<uint8_t> companyItemsMade;

} // namespace

void makeCompanyItems(HWND tree, int32_t node) {
    if (node < 0 || size_t(node) >= companyItemsMade.size() || companyItemsMade[size_t(node)]) return;
    companyItemsMade[size_t(node)] = 1;
    auto nodeItem = static_cast<HTREEITEM>(dataStore.treeNodes[node].treeItem);
    if (!nodeItem) return;
    const IndexLists& listings = treeModel.listings;
    for (const int32_t* l = listings.begin(size_t(node)); l != listings.end(size_t(node)); ++l) {
        const CompanyRecord& company = dataStore.companies[dataStore.companyLinks[*l].company];
        registerListingItem(
            *l, insertTreeItem(tree, nodeItem, company.name, kCompanyImage, kCompanySelectedImage));
    }
}

ListingItemsHook companyItemsHook(HWND tree) {
    return {[](void* context, int32_t node) { makeCompanyItems(static_cast<HWND>(context), node); }, tree};
}

namespace {

void onExpanding(const NMTREEVIEWA* change) {
    if (change->action & TVE_EXPAND)
        makeCompanyItems(change->hdr.hwndFrom, nodeIndexOfItem(change->itemNew.hItem));
}

LRESULT onCustomDraw(NMTVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        if (isSearchMatch(reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec)))
            draw->clrText = kSearchHitColour;
        return CDRF_NOTIFYITEMDRAW;
    default: return 0;
    }
}

void onSelectionChanged(const NMTREEVIEWA* change, HWND list, HWND rebar, HWND statusBar) {
    HTREEITEM item = change->itemNew.hItem;
    ItemKind kind = nodeKindOfItem(item);
    if (kind == kGroupItem || kind == kLeafItem)
        fillNodeList(list, nodeIndexOfItem(item));
    else
        fillProductList(list, item);
    setAddressPath(rebar, item);
    showRowCount(statusBar, listState.rowCount);
}

} // namespace

HWND createTree(HINSTANCE instance, HWND parent) {
    HWND tree =
        CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                            TVS_LINESATROOT | TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS | TVS_NONEVENHEIGHT,
                        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(INT_PTR(IDC_TREE)), instance, nullptr);
    SendMessageA(tree, WM_SETFONT, reinterpret_cast<WPARAM>(drawing.normalFont.get()), TRUE);
    if (!tree) return nullptr;
    SendMessageA(tree, TVM_SETITEMHEIGHT, WPARAM(scaled(18)), 0);
    if (smallImageList && largeImageList) {
        SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(smallImageList));
        SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(smallImageList));
    }
    return tree;
}

void rescaleTree(HWND tree, HIMAGELIST images) {
    SendMessageA(tree, WM_SETFONT, reinterpret_cast<WPARAM>(drawing.normalFont.get()), TRUE);
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(images));
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    SendMessageA(tree, TVM_SETITEMHEIGHT, WPARAM(scaled(18)), 0);
}

HTREEITEM insertTreeItem(HWND tree, HTREEITEM parent, const char* text, int image, int selectedImage) {
    wchar_t wide[128];
    widenGbkInto(text, wide, int(std::size(wide)));
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = parent ? TVI_LAST : TVI_ROOT;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = wide;
    insert.item.cchTextMax = 50;
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void fillTree(HWND tree) {
    RedrawPause pause(tree);
    SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    const DataStore& d = dataStore;
    companyItemsMade.assign(size_t(d.treeNodeCount), 0);
    // Parents before children, siblings in node order; each node's companies come after its
    // child nodes, so a node with companies shows a button until they are made.
    for (int32_t node : nodeInsertionOrder()) {
        int32_t parent = treeModel.shownParent[size_t(node)];
        auto parentItem = parent >= 0 ? static_cast<HTREEITEM>(d.treeNodes[parent].treeItem) : nullptr;
        HTREEITEM item =
            insertTreeItem(tree, parentItem, categoryNameOfNode(node), kFolderImage, kFolderOpenImage);
        if (item && treeModel.listings.size(size_t(node)) > 0) {
            TVITEMA children{};
            children.mask = TVIF_CHILDREN;
            children.hItem = item;
            children.cChildren = 1;
            SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&children));
        }
        registerNodeItem(node, item);
    }
}

LRESULT onTreeNotify(const NMHDR* header, HWND list, HWND rebar, HWND statusBar) {
    switch (header->code) {
    // The texts of the items are not read here: both forms of a notification are handled alike.
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        onSelectionChanged(reinterpret_cast<const NMTREEVIEWA*>(header), list, rebar, statusBar);
        return 0;
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: onExpanding(reinterpret_cast<const NMTREEVIEWA*>(header)); return 0;
    case NM_CUSTOMDRAW: return onCustomDraw(reinterpret_cast<NMTVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
    case NM_SETFOCUS: focusedPane = kTreePane; return 0;
    case NM_KILLFOCUS: focusedPane = kFocusLost; return 0;
    case NM_DBLCLK: // the tree's owner opens the details
        SendMessageA(GetParent(header->hwndFrom), WM_COMMAND, MAKEWPARAM(IDM_DETAILS, 1), 0);
        return 0;
    default: return 0;
    }
}

void setAddressPath(HWND rebar, HTREEITEM item) {
    char path[kAddressPathCapacity];
    addressPathOfItem(item, path, sizeof path);
    SetDlgItemTextW(rebar, IDC_ADDRESSBOX, widenGbk(path).c_str());
}

void setExpandedState(HWND tree, HTREEITEM item, bool expanded) {
    TVITEMA state{};
    state.mask = TVIF_STATE;
    state.hItem = item;
    state.stateMask = TVIS_EXPANDED;
    state.state = expanded ? TVIS_EXPANDED : 0;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&state));
}

void collapseAll(HWND tree) {
    // The top-level nodes close as the user would close them; every node below is out of sight
    // by then, and only its mark is cleared (closing hidden nodes one by one costs the control
    // a layout each).
    for (int32_t node : nodeInsertionOrder()) {
        auto item = static_cast<HTREEITEM>(dataStore.treeNodes[node].treeItem);
        if (!item || !(SendMessageA(tree, TVM_GETITEMSTATE, WPARAM(item), TVIS_EXPANDED) & TVIS_EXPANDED))
            continue;
        if (treeModel.shownParent[size_t(node)] == -1)
            SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
        else
            setExpandedState(tree, item, false);
    }
}
