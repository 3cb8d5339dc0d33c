// The views' portable half: tree placement, row fills, prices, sorting, paths, search history.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "database.h"
#include "list_export.h"
#include "list_rows.h"
#include "list_sort.h"
#include "platform.h"
#include "search_core.h"
#include "search_history.h"
#include "textcodec.h"
#include "tree_model.h"
#include "web_link.h"

namespace {

template <typename T> T* allocate(size_t count) {
    return static_cast<T*>(std::calloc(count ? count : 1, sizeof(T)));
}

// A DataStore made directly in memory, released by freeDatabase.
struct StoreBuilder {
    std::vector<CompanyRecord> companies;
    std::vector<CategoryRecord> categories;
    std::vector<TreeNodeRecord> nodes;
    std::vector<CompanyLink> links;
    std::vector<ProductRecord> products;

    int category(const char* name, bool isGroup) {
        CategoryRecord c{};
        std::snprintf(c.name, sizeof c.name, "%s", name);
        c.isGroup = isGroup;
        categories.push_back(c);
        return int(categories.size()) - 1;
    }
    int node(int parent, int category) {
        nodes.push_back(TreeNodeRecord{parent, category, 0, nullptr});
        return int(nodes.size()) - 1;
    }
    int company(const char* name, const char* phone = "", const char* contact = "") {
        CompanyRecord c{};
        std::snprintf(c.name, sizeof c.name, "%s", name);
        std::snprintf(c.phone, sizeof c.phone, "%s", phone);
        std::snprintf(c.contact, sizeof c.contact, "%s", contact);
        std::snprintf(c.website, sizeof c.website, "www.%s.example", name);
        companies.push_back(c);
        return int(companies.size()) - 1;
    }
    int link(int node, int company, bool valid = true) {
        CompanyLink l{};
        l.node = node;
        l.company = company;
        l.valid = valid;
        links.push_back(l);
        return int(links.size()) - 1;
    }
    int product(int company, int node, const char* model, float price, bool valid = true) {
        ProductRecord p{};
        p.company = company;
        p.node = node;
        std::snprintf(p.model, sizeof p.model, "%s", model);
        p.price = price;
        p.valid = valid;
        products.push_back(p);
        return int(products.size()) - 1;
    }
    // Installs the store, builds the model and gives every node and listing a made-up item.
    void install() {
        freeDatabase();
        DataStore& d = dataStore;
        auto put = [](auto& from, auto*& to, int32_t& count) {
            to = allocate<std::remove_reference_t<decltype(from[0])>>(from.size());
            if (!from.empty()) std::memcpy(static_cast<void*>(to), from.data(), from.size() * sizeof from[0]);
            count = int32_t(from.size());
        };
        put(companies, d.companies, d.companyCount);
        put(categories, d.categories, d.categoryCount);
        put(nodes, d.treeNodes, d.treeNodeCount);
        put(links, d.companyLinks, d.companyLinkCount);
        put(products, d.products, d.productCount);
        d.companyTree = allocate<CompanyTreeEntry>(links.size());
        d.companyTreeCount = int32_t(links.size());
        buildTreeModel();
        for (int32_t n : nodeInsertionOrder())
            registerNodeItem(n, nodeItem(n));
        for (size_t n = 0; n < nodes.size(); ++n)
            for (const int32_t* l = treeModel.listings.begin(n); l != treeModel.listings.end(n); ++l)
                registerListingItem(*l, listingItem(*l));
    }
    static TreeItemHandle nodeItem(int n) { return reinterpret_cast<TreeItemHandle>(uintptr_t(0x1000 + n)); }
    static TreeItemHandle listingItem(int l) {
        return reinterpret_cast<TreeItemHandle>(uintptr_t(0x100000 + l));
    }
};

class ViewsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        listState = ListState{};
        platform.showMessage = [](const char* text) { messages().push_back(text); };
        messages().clear();
    }
    void TearDown() override {
        freeDatabase();
        platform = defaultPlatform();
    }
    static std::vector<std::string>& messages() {
        static std::vector<std::string> shown;
        return shown;
    }
    static std::string cell(int row, int column) { return rowTable()[row].cells[column]; }
    static std::vector<std::string> column(int c) {
        std::vector<std::string> texts;
        for (int r = 0; r < listState.rowCount; ++r)
            texts.push_back(cell(r, c));
        return texts;
    }
    static std::vector<int> bands() {
        std::vector<int> b;
        for (int r = 0; r < listState.rowCount; ++r)
            b.push_back(rowTable()[r].bandColour);
        return b;
    }
    StoreBuilder s;
};

using Texts = std::vector<std::string>;

TEST_F(ViewsTest, NodesGoUnderTheirParentsWhateverTheirOrder) {
    int top = s.category("top", true), leaf = s.category("leaf", false);
    int child = s.node(2, leaf);                        // 0: its parent comes later
    int lone = s.node(-1, top);                         // 1
    int parent = s.node(-1, top);                       // 2
    int orphan = s.node(77, leaf);                      // 3: parent out of range
    int skipped = s.node(-1, 99);                       // 4: no such category
    int underSkipped = s.node(4, leaf);                 // 5
    int loopA = s.node(7, top), loopB = s.node(6, top); // 6 and 7 point at each other
    int self = s.node(8, top);                          // 8
    s.install();
    const TreeModel& m = treeModel;
    EXPECT_EQ(m.shownParent[child], parent);
    EXPECT_EQ(m.shownParent[orphan], -1);
    EXPECT_FALSE(m.placed[skipped]);
    EXPECT_EQ(dataStore.treeNodes[skipped].treeItem, nullptr);
    EXPECT_EQ(m.shownParent[underSkipped], -1);
    EXPECT_EQ(m.shownParent[loopA], -1) << "the lowest node of a loop goes to the top";
    EXPECT_EQ(m.shownParent[loopB], loopA);
    EXPECT_EQ(m.shownParent[self], -1);
    std::vector<int32_t> order = nodeInsertionOrder();
    EXPECT_EQ(order, (std::vector<int32_t>{lone, parent, orphan, underSkipped, loopA, self, child, loopB}));
    EXPECT_EQ(nodeKindOfItem(StoreBuilder::nodeItem(parent)), 1);
    EXPECT_EQ(nodeKindOfItem(StoreBuilder::nodeItem(child)), 2);
    EXPECT_EQ(nodeKindOfItem(nullptr), 0);
    EXPECT_EQ(nodeKindOfItem(reinterpret_cast<TreeItemHandle>(0x42)), 3);
    EXPECT_EQ(childKindOfNode(parent), 2);
    EXPECT_EQ(childKindOfNode(-1), 1);
    EXPECT_EQ(childKindOfNode(child), 0);
    EXPECT_EQ(childKindOfNode(-2), 0);
}

TEST_F(ViewsTest, ListingsShownAreTheValidOnesWithACompanyAndANode) {
    int brand = s.node(-1, s.category("b", false));
    int a = s.company("a"), b = s.company("b");
    s.link(brand, a);
    s.link(brand, b, false);
    s.link(brand, b);
    s.link(brand, 5); // no such company
    s.link(9, a);     // no such node
    s.link(brand, -1);
    s.install();
    const IndexLists& l = treeModel.listings;
    EXPECT_EQ(std::vector<int32_t>(l.begin(brand), l.end(brand)), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(companyOfTreeItem(StoreBuilder::listingItem(2)), b);
    EXPECT_EQ(companyOfTreeItem(StoreBuilder::listingItem(1)), kNoCompany)
        << "an expired listing has no item";
    EXPECT_EQ(companyOfTreeItem(StoreBuilder::nodeItem(brand)), kNoCompany);

    ASSERT_TRUE(fillNodeRows(brand));
    EXPECT_EQ(listState.listKind, kCompanies);
    EXPECT_EQ(column(2), (Texts{"a", "b"})) << "valid, expired, valid: both valid companies";
    EXPECT_EQ(rowTable()[1].treeItem, StoreBuilder::listingItem(2)) << "a row points at its own listing";
    EXPECT_EQ(bands(), (std::vector<int>{10, 10}));
}

TEST_F(ViewsTest, CompanyIndexOfThirtyThousandNeverBecomesCurrent) {
    int brand = s.node(-1, s.category("b", false));
    for (int i = 0; i <= kNoCompany; ++i)
        s.companies.push_back(CompanyRecord{});
    s.link(brand, kNoCompany);
    s.link(brand, 0);
    s.install();
    EXPECT_EQ(treeModel.listings.size(brand), 1u);
    fillProductRows(kNoCompany);
    EXPECT_EQ(currentCompany, kNoCompany);
}

TEST_F(ViewsTest, TopAndSubCategoryRowsAreNumberedInNodeOrder) {
    int group = s.category("电脑", true), brand = s.category("联想", false);
    int pc = s.node(-1, group), phone = s.node(-1, group);
    int sub = s.node(pc, group);
    s.node(sub, brand);
    s.node(pc, brand);
    s.install();
    ASSERT_TRUE(fillNodeRows(-1));
    EXPECT_EQ(listState.listKind, kTopCategories);
    EXPECT_EQ(column(0), (Texts{"电脑", "电脑"}));
    EXPECT_EQ(column(1), (Texts{"1", "2"}));
    EXPECT_EQ(rowTable()[1].treeItem, StoreBuilder::nodeItem(phone));
    EXPECT_EQ(listState.sortColumn, kNoSortColumn);

    ASSERT_TRUE(fillNodeRows(pc));
    EXPECT_EQ(listState.listKind, kSubCategories) << "the first child decides";
    EXPECT_EQ(column(0), (Texts{"电脑", "联想"}));

    // A group node without children: no rows, and the kind stays.
    ASSERT_TRUE(fillNodeRows(phone));
    EXPECT_EQ(listState.rowCount, 0);
    EXPECT_EQ(listState.listKind, kSubCategories);
    EXPECT_EQ(currentCompany, kNoCompany);
}

TEST_F(ViewsTest, CompanyGroupsTakeBandsByChildNumber) {
    int product = s.node(-1, s.category("手机", true));
    std::vector<int> brands;
    for (int g = 0; g < 12; ++g) {
        brands.push_back(s.node(product, s.category(("品牌" + std::to_string(g)).c_str(), false)));
        if (g == 3) s.node(product, s.category("组", true)); // passed over, takes no number
    }
    for (int g = 0; g < 12; ++g)
        if (g != 1) s.link(brands[size_t(g)], s.company(("c" + std::to_string(g)).c_str()));
    s.install();
    ASSERT_TRUE(fillNodeRows(product));
    EXPECT_EQ(listState.listKind, kCompanyGroups);
    EXPECT_EQ(listState.sortColumn, 1);
    EXPECT_EQ(bands(), (std::vector<int>{0, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1}));
    EXPECT_EQ(cell(0, 0), "手机");
    EXPECT_EQ(cell(0, 1), "品牌0");
    EXPECT_EQ(cell(0, 6), "www.c0.example");
}

TEST_F(ViewsTest, AFillListsEveryRowAndALongListSortsStably) {
    int brand = s.node(-1, s.category("b", false));
    for (int i = 0; i < 1300; ++i)
        s.link(brand, s.company(std::to_string(i % 7).c_str(), std::to_string(i).c_str()));
    s.install();
    ASSERT_TRUE(fillNodeRows(brand));
    ASSERT_EQ(listState.rowCount, 1300);
    EXPECT_EQ(cell(1299, 3), "1299");
    // Past 500 rows a stable sort: equal names keep the order they had.
    sortRowTable(2, false);
    EXPECT_EQ(cell(0, 2), "6");
    EXPECT_EQ(cell(0, 3), "6");
    EXPECT_EQ(cell(1, 3), "13");
    EXPECT_EQ(cell(1299, 3), "1295");
    EXPECT_EQ(bands().back(), (3 + 6) % 9);
    // A grown table goes with the database; the next fill starts it anew.
    s.install();
    ASSERT_TRUE(fillNodeRows(brand));
    EXPECT_EQ(listState.rowCount, 1300);
}

TEST_F(ViewsTest, NoRowTableMeansAnEmptyListAndAMessage) {
    s.node(-1, s.category("b", false));
    s.install();
    allocateZeroed = [](size_t, size_t) -> void* { return nullptr; };
    bool filled = fillNodeRows(-1);
    allocateZeroed = std::calloc;
    EXPECT_FALSE(filled);
    EXPECT_EQ(listState.rowCount, 0);
    EXPECT_EQ(messages(), (Texts{"内存不够用!"}));
    EXPECT_TRUE(fillNodeRows(-1)) << "the next fill tries again";
    EXPECT_EQ(listState.rowCount, 1);
}

TEST_F(ViewsTest, ProductRowsCellsLabelsAndBands) {
    int pc = s.node(-1, s.category("电脑", true));
    int lenovo = s.node(pc, s.category("联想", false));
    int dell = s.node(pc, s.category("戴尔", false));
    int top = s.node(-1, s.category("顶层", false));
    int c = s.company("c"), other = s.company("o");
    s.product(c, lenovo, "A", 12.5f);
    s.product(c, lenovo, "B", 0, false); // expired: passed over, the rest still shown
    s.product(other, lenovo, "X", 1);
    s.product(c, dell, "C", 0.29f);
    s.product(c, top, "D", -3);
    s.product(c, 99, "E", 1);
    int long_ = s.product(c, lenovo, "F", 1);
    std::string configuration;
    for (int i = 0; i < 50; ++i)
        configuration += "配";
    std::snprintf(s.products[size_t(long_)].configuration, sizeof s.products[0].configuration, "%s",
                  configuration.c_str());
    s.install();
    listState.rowCount = 0;
    ensureRowTable();
    fillProductRows(c);
    EXPECT_EQ(currentCompany, c);
    EXPECT_EQ(listState.listKind, kProducts);
    EXPECT_EQ(listState.sortColumn, 0);
    EXPECT_EQ(column(2), (Texts{"A", "C", "D", "E", "F"}));
    EXPECT_EQ(column(0), (Texts{"电脑", "电脑", "", "", "电脑"}));
    EXPECT_EQ(column(1), (Texts{"联想", "戴尔", "顶层", "", "联想"}));
    EXPECT_EQ(column(4), (Texts{"￥12.50", "￥0.29", "电询", "￥1.00", "￥1.00"}));
    EXPECT_EQ(column(8), (Texts{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(cell(4, 3), configuration.substr(0, 78)) << "39 characters fit the 79 bytes of a cell";
    EXPECT_EQ(cell(4, 4), "￥1.00") << "the configuration does not spill into the price";
    // Byte 3 of "电脑" equals itself; rows 2 and 3 have names shorter than 4 bytes.
    EXPECT_EQ(bands(), (std::vector<int>{0, 0, 2, 2, 4}));
}

TEST_F(ViewsTest, PriceTexts) {
    char text[kCellSize];
    auto price = [&](float p) {
        formatPrice(p, text, sizeof text);
        return std::string(text);
    };
    EXPECT_EQ(price(12.5f), "￥12.50");
    EXPECT_EQ(price(12.3f), "￥12.30");
    EXPECT_EQ(price(0.29f), "￥0.29") << "0.29 is stored as 0.28999999";
    EXPECT_EQ(price(0.0f), "电询");
    EXPECT_EQ(price(-3.0f), "电询");
    EXPECT_EQ(price(std::numeric_limits<float>::quiet_NaN()), "电询");
    EXPECT_EQ(price(std::numeric_limits<float>::infinity()), "电询");
    EXPECT_EQ(price(30000000.0f), "￥30000000.00") << "the hundredfold value passes 32 bits";
    EXPECT_EQ(price(1e20f), "￥100000002004087734272.00");
    EXPECT_EQ(price(std::numeric_limits<float>::max()).substr(0, 5), "￥340");
    EXPECT_EQ(price(0.001f), "￥0.00");
}

// The written selection sort, exchanging through a spare row: the order to match.
std::vector<std::string> referenceOrder(std::vector<std::string> cells, bool ascending, bool numeric) {
    for (size_t i = 0; i < cells.size(); ++i) {
        size_t best = i;
        for (size_t k = i + 1; k < cells.size(); ++k) {
            long long d = numeric ? leadingNumber(cells[best].c_str()) - leadingNumber(cells[k].c_str())
                                  : std::strcmp(cells[best].c_str(), cells[k].c_str());
            if (ascending ? d > 0 : d < 0) best = k;
        }
        std::swap(cells[i], cells[best]);
    }
    return cells;
}

TEST_F(ViewsTest, SortGivesTheSelectionSortOrderAndBands) {
    int brand = s.node(-1, s.category("b", false));
    const char* names[] = {"b", "a", "c", "a", "b", "d", "e", "f", "g", "h", "i", "j", "a"};
    for (const char* n : names)
        s.link(brand, s.company(n));
    s.install();
    ASSERT_TRUE(fillNodeRows(brand));
    Texts before = column(2);
    sortRowTable(2, true);
    EXPECT_EQ(column(2), referenceOrder(before, true, false));
    EXPECT_EQ(bands(), (std::vector<int>{0, 0, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 0}));
    EXPECT_EQ(listState.sortColumn, 2);
    sortRowTable(2, false);
    EXPECT_EQ(column(2), referenceOrder(before, false, false));
    EXPECT_EQ(bands().front(), 3);
    EXPECT_EQ(bands()[3], 6) << "j i h then g";
}

TEST_F(ViewsTest, SortedRowsKeepTheirOwnTreeItems) {
    int brand = s.node(-1, s.category("b", false));
    for (const char* n : {"c", "a", "b"})
        s.link(brand, s.company(n));
    s.install();
    ASSERT_TRUE(fillNodeRows(brand));
    std::vector<int> moved = sortRowTable(2, true);
    EXPECT_EQ(moved, (std::vector<int>{1, 2, 0}));
    for (int r = 0; r < 3; ++r)
        EXPECT_STREQ(s.companies[size_t(companyOfTreeItem(rowTable()[r].treeItem))].name, cell(r, 2).c_str());
}

TEST_F(ViewsTest, CategoryNumbersSortAsNumbersProductNumbersAsText) {
    int top = s.category("t", true);
    for (int i = 0; i < 12; ++i)
        s.node(-1, top);
    int c = s.company("c");
    int leaf = s.node(-1, s.category("l", false));
    for (int i = 0; i < 12; ++i)
        s.product(c, leaf, "m", 1);
    s.install();
    ASSERT_TRUE(fillNodeRows(-1));
    sortRowTable(1, false);
    sortRowTable(1, true);
    EXPECT_EQ(cell(1, 1), "2");
    EXPECT_EQ(cell(9, 1), "10");
    fillProductRows(c);
    sortRowTable(8, true);
    EXPECT_EQ(cell(1, 8), "10") << "10 sorts before 2 as text";
    EXPECT_EQ(cell(4, 8), "2");
}

TEST_F(ViewsTest, AFullTableIsSortedToo) {
    int brand = s.node(-1, s.category("b", false));
    for (int i = 0; i < kRowCapacity; ++i)
        s.link(brand, s.company(std::to_string((i * 7919) % 1000).c_str()));
    s.install();
    ASSERT_TRUE(fillNodeRows(brand));
    ASSERT_EQ(listState.rowCount, kRowCapacity);
    Texts before = column(2);
    sortRowTable(2, true);
    EXPECT_EQ(column(2), referenceOrder(before, true, false));
    EXPECT_NE(column(2), before);
}

TEST_F(ViewsTest, SortMatchesTheSelectionSortOnManyTables) {
    int brand = s.node(-1, s.category("b", false));
    uint32_t state = 12345;
    auto next = [&] { return state = state * 1103515245u + 12345u; };
    for (int i = 0; i < 300; ++i) {
        std::string name(1 + next() % 3, 'a');
        for (char& ch : name)
            ch = char('a' + (next() >> 16) % 4);
        s.link(brand, s.company(name.c_str()));
    }
    s.install();
    for (int round = 0; round < 6; ++round) {
        ASSERT_TRUE(fillNodeRows(brand));
        for (int column_ : {2, 6, 2}) {
            Texts before = column(column_);
            bool ascending = (next() >> 8) & 1;
            sortRowTable(column_, ascending);
            EXPECT_EQ(column(column_), referenceOrder(before, ascending, false));
        }
    }
    EXPECT_TRUE(sortRowTable(13, true).empty()) << "no column 13";
}

TEST_F(ViewsTest, AddressPathsFromTheTopDown) {
    int pc = s.node(-1, s.category("电脑", true));
    int lenovo = s.node(pc, s.category("联想", false));
    int c = s.company("华东公司", "021-1234", "王先生");
    int l = s.link(lenovo, c);
    s.install();
    char path[kAddressPathCapacity];
    addressPathOfItem(StoreBuilder::nodeItem(pc), path, sizeof path);
    EXPECT_STREQ(path, "→电脑");
    addressPathOfItem(StoreBuilder::listingItem(l), path, sizeof path);
    EXPECT_STREQ(path, "→电脑→联想→华东公司 021-1234 王先生");
    char label[kLabelCapacity];
    EXPECT_FALSE(itemLabel(reinterpret_cast<TreeItemHandle>(0x7), label, sizeof label));
    EXPECT_STREQ(label, "");
    // Cut on a character boundary: "→" and the names are two bytes a character.
    char small[8];
    addressPathOfItem(StoreBuilder::listingItem(l), small, sizeof small);
    EXPECT_STREQ(small, "→电脑") << "the next arrow does not fit whole";
}

TEST_F(ViewsTest, DeepPathsAreCutToTheirBuffer) {
    std::string name(30, 'x');
    int parent = -1;
    for (int i = 0; i < 40; ++i)
        parent = s.node(parent, s.category((name + "中").c_str(), true));
    s.install();
    char path[kAddressPathCapacity];
    addressPathOfItem(StoreBuilder::nodeItem(parent), path, sizeof path);
    size_t length = std::strlen(path);
    EXPECT_LE(length, kAddressPathCapacity - 1);
    EXPECT_GE(length, kAddressPathCapacity - 3);
}

std::vector<unsigned char> historyRecords(const std::vector<std::pair<int32_t, std::string>>& records) {
    std::vector<unsigned char> bytes;
    for (const auto& [length, text] : records) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(uint32_t(length) >> (8 * i)));
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    return bytes;
}

TEST(SearchHistory, RecordsInFileOrderCutAndSkippedSafely) {
    std::string longWord;
    for (int i = 0; i < 30; ++i)
        longWord += "长";
    auto bytes = historyRecords({{3, "abc"}, {0, ""}, {int32_t(longWord.size()), longWord}, {2, "xy"}});
    EXPECT_EQ(parseSearchHistory(bytes.data(), bytes.size()), (Texts{"abc", longWord.substr(0, 48), "xy"}));

    auto cut = historyRecords({{3, "abc"}, {10, "short"}});
    EXPECT_EQ(parseSearchHistory(cut.data(), cut.size()), (Texts{"abc"})) << "a record cut short";
    auto negative = historyRecords({{-5, ""}, {3, "abc"}});
    EXPECT_TRUE(parseSearchHistory(negative.data(), negative.size()).empty());
    auto huge = historyRecords({{0x7fffffff, "abc"}});
    EXPECT_TRUE(parseSearchHistory(huge.data(), huge.size()).empty());
    auto withZero = historyRecords({{4, std::string("ab\0c", 4)}});
    EXPECT_EQ(parseSearchHistory(withZero.data(), withZero.size()), (Texts{"ab"}));
    EXPECT_TRUE(readSearchHistory("/nonexistent/MySchInf.wrk").empty());
}

} // namespace

namespace {

TEST(SearchWords, FoldedWordsMatchOnCharacterBoundaries) {
    char word[] = "ABC显示";
    foldSearchText(word);
    EXPECT_STREQ(word, "abc显示");
    EXPECT_TRUE(containsWord("xyzABC显示器", 60, word));
    EXPECT_FALSE(containsWord("xyzABD显示器", 60, word));
    char latin[] = "B";
    foldSearchText(latin);
    // 0xC4 0x42 is one double-byte character whose trail byte is a capital B.
    EXPECT_FALSE(containsWord("\xC4\x42", 3, latin)) << "not inside a double-byte character";
    EXPECT_TRUE(containsWord("\xC4\x42"
                             "B",
                             4, latin));
    char trail[] = "\xC4\x42";
    foldSearchText(trail);
    EXPECT_STREQ(trail, "\xC4\x42") << "a trail byte is not folded";
    EXPECT_FALSE(containsWord("abc", 60, ""));
    EXPECT_FALSE(containsWord("abcdef", 3, "def")) << "no reading past the field";
    // The system's lowering in code page 936: full-width Latin, Greek, Cyrillic and Roman
    // numerals; Ⅺ has no small form in GBK and stays.
    char wide[] = "ＴＣＬΣЖⅡⅪ公司";
    foldSearchText(wide);
    EXPECT_STREQ(wide, "ｔｃｌσжⅱⅪ公司");
    EXPECT_TRUE(containsWord("ＴＣＬ电器", 60, "ｔｃｌ"));
    EXPECT_FALSE(containsWord("ＴＣＬ电器", 60, "tcl")) << "full-width and ASCII letters differ";
}

TEST(WebLinks, OnlyWebAddressesReachTheShellFromAWebCellAndMailtoFromAnEmailCell) {
    EXPECT_EQ(webLinkTarget("www.example.com"), "http://www.example.com");
    EXPECT_EQ(webLinkTarget("www.example.com:8080/a"), "http://www.example.com:8080/a");
    EXPECT_EQ(webLinkTarget("localhost:8080"), "http://localhost:8080");
    EXPECT_EQ(webLinkTarget(" www.宁波.example\t"), "http://www.宁波.example");
    EXPECT_EQ(webLinkTarget("HTTPS://www.example.com"), "HTTPS://www.example.com");
    EXPECT_EQ(webLinkTarget("http://www.example.com/a b"), "http://www.example.com/a b");
    EXPECT_EQ(webLinkTarget("ftp://files.example.com"), "ftp://files.example.com");
    // Anything else would open a file, a folder, a search or another program: not a link.
    for (const char* refused :
         {"", "  ", "file:///C:/Windows/System32/calc.exe", "FILE://server/share/a.exe",
          "search-ms:query=a&crumb=location:\\\\server\\share", "ms-settings:", "C:\\Windows\\a.exe",
          "mailto:sales@example.com", "itms-services://?action=download", "javascript:alert(1)",
          "www.example.com:", "http://a.example/\" --new-window", "http://a.example\r\nfile://b"})
        EXPECT_EQ(webLinkTarget(refused), "") << refused;

    EXPECT_EQ(mailLinkTarget("sales@example.com"), "mailto:sales@example.com");
    EXPECT_EQ(mailLinkTarget("MailTo:sales@example.com"), "MailTo:sales@example.com") << "not twice";
    EXPECT_EQ(mailLinkTarget(" 陈@example.com "), "mailto:陈@example.com");
    EXPECT_EQ(mailLinkTarget(""), "");
    EXPECT_EQ(mailLinkTarget("a@example.com\" /c"), "");
}

TEST_F(ViewsTest, SearchHitsInTheOrderTheTreeIsOpened) {
    int top = s.node(-1, s.category("显示器", true));
    int brand = s.node(top, s.category("ABC牌", false));
    int other = s.node(top, s.category("其他", false));
    int a = s.company("xyzabc"), b = s.company("ABCD"), c = s.company("none"), d = s.company("abc但过期");
    s.link(brand, a);
    s.link(other, a); // filed twice: found twice
    s.link(brand, b);
    s.link(brand, c);
    s.link(brand, d, false);
    s.install();
    char word[] = "ABC";
    foldSearchText(word);
    std::vector<SearchHit> hits = findSearchHits(word);
    ASSERT_EQ(hits.size(), 4u);
    EXPECT_TRUE(hits[0].listing);
    EXPECT_EQ(hits[0].index, 2);
    EXPECT_EQ(hits[1].index, 1);
    EXPECT_EQ(hits[2].index, 0);
    EXPECT_FALSE(hits[3].listing);
    EXPECT_EQ(hits[3].index, brand);
    EXPECT_TRUE(findSearchHits("电话").empty());
}

TEST_F(ViewsTest, SearchStopsAtTheHitTable) {
    int brand = s.node(-1, s.category("b", false));
    for (int i = 0; i < 1100; ++i)
        s.link(brand, s.company("match"));
    s.install();
    EXPECT_EQ(findSearchHits("match").size(), size_t(kMaxSearchMatches));
}

TEST(SearchWords, HistoryRecordsAreLengthAndBytes) {
    std::string path = ::testing::TempDir() + "kovanta-history-" + std::to_string(::getpid());
    std::remove(path.c_str());
    ASSERT_TRUE(appendSearchHistory(path.c_str(), "abcdefghij"));
    ASSERT_TRUE(appendSearchHistory(path.c_str(), "显示器"));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    unsigned char bytes[64];
    size_t size = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    ASSERT_EQ(size, 4u + 10 + 4 + 6);
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 4), (std::vector<unsigned char>{0x0A, 0, 0, 0}));
    EXPECT_EQ(parseSearchHistory(bytes, size), (Texts{"abcdefghij", "显示器"}));
    std::remove(path.c_str());
    EXPECT_FALSE(appendSearchHistory("/nonexistent/dir/MySchInf.wrk", "x"));
}

} // namespace

namespace {

std::string utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

TEST(ListExport, CsvInUtf8WithABomQuotedFieldsAndCrLfLines) {
    std::string csv =
        listToCsv({"序号", "销售公司", "备注"},
                  {{"1", "智盛, \"数码\"", "第一行\r\n第二行"}, {"2", "嘉图", "单引号'"}}, gbkToUtf8);
    EXPECT_EQ(csv, utf8(u8"\uFEFF序号,销售公司,备注\r\n"
                        u8"1,\"智盛, \"\"数码\"\"\",\"第一行\r\n第二行\"\r\n"
                        u8"2,嘉图,单引号'\r\n"));
    EXPECT_EQ(listToCsv({"型号", "单价"}, {}, gbkToUtf8), utf8(u8"\uFEFF型号,单价\r\n")) << "an empty list";
    EXPECT_EQ(listToCsv({"a"}, {{""}, {"\r"}}, gbkToUtf8), "\xEF\xBB\xBF"
                                                           "a\r\n\r\n\"\r\"\r\n");
}

TEST(ListExport, CellsASpreadsheetWouldAlterOrRunAreWrittenAsTextFormulas) {
    const char* altered[] = {"6222021202020109912",
                             "010010",
                             "0",
                             "3.10",
                             "1.5E3",
                             "1e5",
                             "3-10",
                             "2020.3.1",
                             "12:30",
                             "3月10日",
                             "50%",
                             "1,000",
                             "(5)",
                             "1 1/2",
                             "12 ",
                             " 12",
                             "123456789012",
                             "￥3999.00",
                             "１２３",
                             "SEPT1",
                             "Mar-10",
                             "1 pm",
                             "TRUE",
                             "false",
                             "=1+1",
                             "+86-574-1",
                             "-",
                             "@陈女士",
                             "上海路1号\t2楼",
                             "0574-64706574"};
    for (const char* cell : altered)
        EXPECT_TRUE(spreadsheetWouldAlter(cell)) << cell;
    const char* shownAsWritten[] = {"",
                                    "12",
                                    "12345678901",
                                    "XH-100",
                                    "酷睿 i5/8G/512G",
                                    "电询",
                                    "上海路1号",
                                    "第3年",
                                    "真",
                                    "www.a.example",
                                    "a@b.example",
                                    " =1",
                                    "#N/A",
                                    "1\n2",
                                    "第一行\r\n第二行"};
    for (const char* cell : shownAsWritten)
        EXPECT_FALSE(spreadsheetWouldAlter(cell)) << cell;

    EXPECT_EQ(
        listToCsv({"名称"}, {{"=HYPERLINK(\"http://x\",\"点我\")"}, {"010010"}, {"=a\r\nb\tc"}}, gbkToUtf8),
        utf8(u8"\uFEFF名称\r\n"
             u8"\"=\"\"=HYPERLINK(\"\"\"\"http://x\"\"\"\",\"\"\"\"点我\"\"\"\")\"\"\"\r\n"
             u8"\"=\"\"010010\"\"\"\r\n"
             u8"\"=\"\"=a\"\"&CHAR(10)&\"\"b\tc\"\"\"\r\n"))
        << "no spreadsheet evaluates a field of several lines: the line breaks are joined in";
}

TEST(ListExport, RowsAsTabTextAndAsAnHtmlTableOfTextCells) {
    EXPECT_EQ(listToTabText({"型号", "单价"}, {{"XH-1", "￥1.00"}, {"a\tb", "c\r\nd"}}),
              "型号\t单价\r\nXH-1\t￥1.00\r\na b\tc  d\r\n")
        << "a tab or line break in a cell cannot split the row";
    EXPECT_EQ(listToTabText({"名称"}, {}), "名称\r\n");

    // The header's offsets find the page and the table in it.
    std::string html = listToClipboardHtml({"帐号"}, {{"0123<&\">\t1\r\n2\n3"}}, gbkToUtf8);
    auto offset = [&html](const char* name) {
        return std::stoul(html.substr(html.find(name) + std::strlen(name)));
    };
    ASSERT_EQ(html.rfind("Version:0.9\r\nStartHTML:", 0), 0u);
    EXPECT_EQ(offset("EndHTML:"), html.size());
    const std::string cell = "<td style=\"mso-number-format:'\\@'\" sdnum=\"2052;0;@\">";
    const std::string lineBreak = "<br style=\"mso-data-placement:same-cell\">";
    EXPECT_EQ(html.substr(offset("StartFragment:"), offset("EndFragment:") - offset("StartFragment:")),
              "<table>\r\n<tr>" + cell + utf8(u8"帐号") + "</td></tr>\r\n<tr>" + cell +
                  "0123&lt;&amp;&quot;&gt; 1" + lineBreak + "2" + lineBreak + "3</td></tr>\r\n</table>");
    EXPECT_EQ(
        html.substr(offset("StartHTML:")),
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"></head><body>\r\n"
        "<!--StartFragment-->" +
            html.substr(offset("StartFragment:"), offset("EndFragment:") - offset("StartFragment:")) +
            "<!--EndFragment-->\r\n</body></html>\r\n");
}

TEST(ListExport, FileNamesFromTheNameOfWhatTheListShows) {
    EXPECT_EQ(exportFileName("宁波智盛数码科技有限公司"), "宁波智盛数码科技有限公司.csv");
    EXPECT_EQ(exportFileName("a/b\\c:d*e?f\"g<h>i|j\tk. ."), "a_b_c_d_e_f_g_h_i_j_k.csv");
    // 0xF2 0x7C is one GBK character whose trail byte is the same as "|": it stays whole.
    EXPECT_EQ(exportFileName("\xF2\x7C"), "\xF2\x7C.csv");
    EXPECT_EQ(exportFileName(""), "列表.csv");
    EXPECT_EQ(exportFileName("..."), "列表.csv");
    std::string longPath;
    for (int i = 0; i < 100; ++i)
        longPath += "电";
    EXPECT_EQ(exportFileName(longPath).size(), 150u + 4) << "cut between characters, never inside one";
}

} // namespace
