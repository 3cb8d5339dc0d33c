// What the category tree holds, worked out from the DataStore without a control: where each
// node goes, the order of the items under every node, the listings and products that can be
// shown, and the way back from a tree item to its record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "database.h"

// currentCompany when the user deals with none; also the loader's mark of a listing or product
// whose company index refers to no record.
inline constexpr int32_t kNoCompany = kNoCompanyIndex;
inline constexpr size_t kLabelCapacity = 200;
inline constexpr size_t kAddressPathCapacity = 600;

// Index lists in one array: the entries of key k are items[start[k] .. start[k + 1]).
struct IndexLists {
    std::vector<int32_t> start, items;
    const int32_t* begin(size_t key) const { return items.data() + start[key]; }
    const int32_t* end(size_t key) const { return items.data() + start[key + 1]; }
    size_t size(size_t key) const { return size_t(start[key + 1] - start[key]); }
};

struct TreeModel {
    // Per node: whether it gets an item (its category exists), and the parent it is shown
    // under: -1 at the top level, also for a parent that is out of range, has no item, or
    // closes a loop of parents.
    std::vector<uint8_t> placed;
    std::vector<int32_t> shownParent;
    // Key 0 is the top level, key n + 1 node n: child nodes in node order.
    IndexLists children;
    // Per node: the listings shown under it, in listing order (valid, company in range).
    IndexLists listings;
    // Per company: its valid products in product order.
    IndexLists products;
    // Tree item -> record: node index (0 and above) or -(companyTree index) - 1.
    std::unordered_map<TreeItemHandle, int32_t> itemRecord;
};

extern TreeModel treeModel;

// Works the model out from dataStore and sets each placed node's kind; clears the item index.
void buildTreeModel();
// Nodes in the order to insert them: every node after the node it is shown under, siblings in
// node order.
std::vector<int32_t> nodeInsertionOrder();

// Records the tree item made for a node or for a listing (companyTree entry).
void registerNodeItem(int32_t node, TreeItemHandle item);
void registerListingItem(int32_t listing, TreeItemHandle item);

int32_t nodeIndexOfItem(TreeItemHandle item);
// What a tree item stands for: nothing, a node of either kind (its NodeKind), any other item.
enum ItemKind : int { kNoItem = 0, kGroupItem = kGroupNode, kLeafItem = kLeafNode, kOtherItem = 3 };
ItemKind nodeKindOfItem(TreeItemHandle item);
// What a node's list shows, from its first child node: sub-categories (the children are
// groups), companies in groups (the children are leaves), or no child node.
enum ChildKind : int { kNoChildNode = 0, kGroupChildren = 1, kLeafChildren = 2 };
ChildKind childKindOfNode(int32_t node);
int32_t companyTreeIndexOfItem(TreeItemHandle item);
// The company of a listing's item, or kNoCompany.
int32_t companyOfTreeItem(TreeItemHandle item);

// The record texts as the views show them; empty for an index outside its array.
const char* categoryNameOfNode(int32_t node);
const char* categoryNameOfParent(int32_t node);

// A node's label is its category's name, a listing's "name phone contact"; false (and an
// empty label) for an unknown item.
bool itemLabel(TreeItemHandle item, char* label, size_t capacity);
// "→label" for each level from the top down to the item, cut to fit without splitting a
// double-byte character.
void addressPathOfItem(TreeItemHandle item, char* path, size_t capacity);
