// The category tree's model: placement of nodes, listings and products, and item lookups.
#include "tree_model.h"

#include <cstdio>
#include <cstring>

#include "gbktext.h"

TreeModel treeModel;

namespace {

bool nodeInRange(int32_t node) {
    return node >= 0 && node < dataStore.treeNodeCount;
}

// Groups the indices 0..count-1 under their keys (0..keyCount-1; a key of -1 leaves an index
// out), keeping index order within each key.
template <typename KeyOf> IndexLists groupByKey(size_t keyCount, int32_t count, KeyOf keyOf) {
    IndexLists lists;
    lists.start.assign(keyCount + 1, 0);
    for (int32_t i = 0; i < count; ++i) {
        int32_t key = keyOf(i);
        if (key >= 0) ++lists.start[size_t(key) + 1];
    }
    for (size_t k = 0; k < keyCount; ++k)
        lists.start[k + 1] += lists.start[k];
    lists.items.resize(size_t(lists.start[keyCount]));
    std::vector<int32_t> next(lists.start.begin(), lists.start.end() - 1);
    for (int32_t i = 0; i < count; ++i) {
        int32_t key = keyOf(i);
        if (key >= 0) lists.items[size_t(next[size_t(key)]++)] = i;
    }
    return lists;
}

// The parent a node is shown under, before loops are broken.
int32_t candidateParent(const TreeModel& m, int32_t node) {
    int32_t parent = dataStore.treeNodes[node].parent;
    return nodeInRange(parent) && m.placed[size_t(parent)] && parent != node ? parent : -1;
}

// Follows each chain of parents once; a chain that comes back on itself is cut at its lowest
// node, which goes to the top level.
void breakParentLoops(TreeModel& m) {
    const int32_t n = dataStore.treeNodeCount;
    std::vector<uint8_t> state(size_t(n), 0); // 0 not seen, 1 on the current chain, 2 done
    std::vector<int32_t> chain;
    for (int32_t start = 0; start < n; ++start) {
        if (!m.placed[size_t(start)] || state[size_t(start)]) continue;
        chain.clear();
        int32_t at = start;
        while (at >= 0 && state[size_t(at)] == 0) {
            state[size_t(at)] = 1;
            chain.push_back(at);
            at = m.shownParent[size_t(at)];
        }
        if (at >= 0 && state[size_t(at)] == 1) {
            int32_t lowest = at;
            for (int32_t k = m.shownParent[size_t(at)]; k != at; k = m.shownParent[size_t(k)])
                if (k < lowest) lowest = k;
            m.shownParent[size_t(lowest)] = -1;
        }
        for (int32_t k : chain)
            state[size_t(k)] = 2;
    }
}

template <size_t N> void copyField(char* to, size_t capacity, const char (&field)[N]) {
    copyToField(to, capacity, field, fieldTextLength(field, N));
}

// Appends text to the zero-terminated buffer as far as it fits whole characters.
void appendBounded(char* buffer, size_t capacity, const char* text) {
    size_t used = std::strlen(buffer);
    if (used + 1 >= capacity) return;
    copyToField(buffer + used, capacity - used, text, std::strlen(text));
}

} // namespace

void buildTreeModel() {
    const DataStore& d = dataStore;
    TreeModel& m = treeModel;
    const int32_t n = d.treeNodeCount;
    m = TreeModel{};
    m.placed.assign(size_t(n), 0);
    m.shownParent.assign(size_t(n), -1);
    for (int32_t i = 0; i < n; ++i) {
        TreeNodeRecord& node = d.treeNodes[i];
        bool hasCategory = node.category >= 0 && node.category < d.categoryCount;
        m.placed[size_t(i)] = hasCategory;
        node.kind = hasCategory ? (d.categories[node.category].isGroup ? kGroupNode : kLeafNode) : kNodeUnset;
        node.treeItem = nullptr;
    }
    for (int32_t i = 0; i < n; ++i)
        m.shownParent[size_t(i)] = m.placed[size_t(i)] ? candidateParent(m, i) : -1;
    breakParentLoops(m);
    m.children = groupByKey(
        size_t(n) + 1, n, [&](int32_t i) { return m.placed[size_t(i)] ? m.shownParent[size_t(i)] + 1 : -1; });
    bool haveEntries = d.companyTree && d.companyTreeCount == d.companyLinkCount;
    m.listings = groupByKey(size_t(n), haveEntries ? d.companyLinkCount : 0, [&](int32_t i) {
        const CompanyLink& link = d.companyLinks[i];
        bool shown = link.valid && nodeInRange(link.node) && m.placed[size_t(link.node)] &&
                     link.company >= 0 && link.company < d.companyCount && link.company < kNoCompany;
        return shown ? link.node : -1;
    });
    for (int32_t i = 0; haveEntries && i < d.companyTreeCount; ++i)
        d.companyTree[i] = CompanyTreeEntry{d.companyLinks[i].node, d.companyLinks[i].company, nullptr};
    m.products = groupByKey(size_t(d.companyCount), d.productCount, [&](int32_t i) {
        const ProductRecord& p = d.products[i];
        return p.valid && p.company >= 0 && p.company < d.companyCount ? p.company : -1;
    });
}

std::vector<int32_t> nodeInsertionOrder() {
    std::vector<int32_t> order;
    const IndexLists& children = treeModel.children;
    if (children.start.empty()) return order;
    order.assign(children.begin(0), children.end(0));
    for (size_t next = 0; next < order.size(); ++next) {
        size_t key = size_t(order[next]) + 1;
        order.insert(order.end(), children.begin(key), children.end(key));
    }
    return order;
}

void registerNodeItem(int32_t node, TreeItemHandle item) {
    if (!nodeInRange(node)) return;
    dataStore.treeNodes[node].treeItem = item;
    if (item) treeModel.itemRecord[item] = node;
}

void registerListingItem(int32_t listing, TreeItemHandle item) {
    if (listing < 0 || listing >= dataStore.companyTreeCount || !dataStore.companyTree) return;
    dataStore.companyTree[listing].treeItem = item;
    if (item) treeModel.itemRecord[item] = -listing - 1;
}

namespace {
// The record code of an item, or false when the item is not known.
bool recordOfItem(TreeItemHandle item, int32_t& code) {
    if (!item) return false;
    auto found = treeModel.itemRecord.find(item);
    if (found == treeModel.itemRecord.end()) return false;
    code = found->second;
    return true;
}
} // namespace

int32_t nodeIndexOfItem(TreeItemHandle item) {
    int32_t code;
    return recordOfItem(item, code) && code >= 0 ? code : -1;
}

ItemKind nodeKindOfItem(TreeItemHandle item) {
    if (!item) return kNoItem;
    int32_t node = nodeIndexOfItem(item);
    return node >= 0 ? ItemKind(dataStore.treeNodes[node].kind) : kOtherItem;
}

ChildKind childKindOfNode(int32_t node) {
    const IndexLists& children = treeModel.children;
    if (node < -1 || node >= dataStore.treeNodeCount || children.start.empty()) return kNoChildNode;
    size_t key = size_t(node + 1);
    if (children.size(key) == 0) return kNoChildNode;
    return dataStore.treeNodes[*children.begin(key)].kind == kGroupNode ? kGroupChildren : kLeafChildren;
}

int32_t companyTreeIndexOfItem(TreeItemHandle item) {
    int32_t code;
    return recordOfItem(item, code) && code < 0 ? -code - 1 : -1;
}

int32_t companyOfTreeItem(TreeItemHandle item) {
    int32_t entry = companyTreeIndexOfItem(item);
    if (entry < 0) return kNoCompany;
    int32_t company = dataStore.companyTree[entry].company;
    return company >= 0 && company < dataStore.companyCount && company < kNoCompany ? company : kNoCompany;
}

const char* categoryNameOfNode(int32_t node) {
    if (!nodeInRange(node)) return "";
    int32_t category = dataStore.treeNodes[node].category;
    return category >= 0 && category < dataStore.categoryCount ? dataStore.categories[category].name : "";
}

const char* categoryNameOfParent(int32_t node) {
    if (!nodeInRange(node) || size_t(node) >= treeModel.shownParent.size()) return "";
    return categoryNameOfNode(treeModel.shownParent[size_t(node)]);
}

bool itemLabel(TreeItemHandle item, char* label, size_t capacity) {
    if (capacity == 0) return false;
    label[0] = '\0';
    int32_t code;
    if (!recordOfItem(item, code)) return false;
    if (code >= 0) {
        const char* name = categoryNameOfNode(code);
        copyToField(label, capacity, name, std::strlen(name));
        return true;
    }
    int32_t company = dataStore.companyTree[-code - 1].company;
    if (company < 0 || company >= dataStore.companyCount) return true;
    const CompanyRecord& c = dataStore.companies[company];
    copyField(label, capacity, c.name);
    appendBounded(label, capacity, " ");
    char part[sizeof c.phone + sizeof c.contact];
    copyField(part, sizeof part, c.phone);
    appendBounded(label, capacity, part);
    appendBounded(label, capacity, " ");
    copyField(part, sizeof part, c.contact);
    appendBounded(label, capacity, part);
    return true;
}

void addressPathOfItem(TreeItemHandle item, char* path, size_t capacity) {
    if (capacity == 0) return;
    path[0] = '\0';
    int32_t code;
    if (!recordOfItem(item, code)) return;
    // The levels from the item up: the listing's node, then the nodes it is shown under.
    std::vector<int32_t> nodes;
    int32_t node = code >= 0 ? code : dataStore.companyTree[-code - 1].node;
    for (; nodeInRange(node) && nodes.size() <= size_t(dataStore.treeNodeCount);
         node = treeModel.shownParent[size_t(node)])
        nodes.push_back(node);
    char label[kLabelCapacity];
    for (auto level = nodes.rbegin(); level != nodes.rend(); ++level) {
        appendBounded(path, capacity, "→");
        copyToField(label, sizeof label, categoryNameOfNode(*level), std::strlen(categoryNameOfNode(*level)));
        appendBounded(path, capacity, label);
    }
    if (code < 0) {
        appendBounded(path, capacity, "→");
        itemLabel(item, label, sizeof label);
        appendBounded(path, capacity, label);
    }
}
