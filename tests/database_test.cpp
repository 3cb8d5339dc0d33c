// The loader: the worked stream, counts, texts, expiry, memory failures and cut streams.
#include "test_support.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "container.h"
#include "database.h"
#include "fresh_pages.h"
#include "gbktext.h"

namespace {

const Bytes kStream =
    hexBytes("01 74 01 41 01 42 06 30 34 30 31 30 31"
             "01 00 00 00 01 43 00 00 00 00 00 00 00 00 00 00 00 02 00 00 00 68 69"
             "02 00 00 00 01 50 01 01 51 00"
             "02 00 00 00 FF FF FF FF 00 00 00 00 00 00 00 00 01 00 00 00"
             "01 00 00 00 01 00 00 00 00 00 00 00 00 06 39 39 31 32 33 31"
             "01 00 00 00 00 00 00 00 01 00 00 00 01 4D 00 00 00 48 41 00 00 00 06 30 30 30 31 30 31");

class LoaderTest : public ScratchDirTest {
  protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        setLoadTime(2026, 12, 7, 9, 30);
    }
    Loading load(const Bytes& stream) {
        Bytes bytes(1078, 0);
        for (uint8_t b : stream)
            bytes.push_back(b);
        raster.assign(bytes.data(), bytes.size());
        return loadInProcess();
    }
};

TEST_F(LoaderTest, WorkedStreamLoadsAsListed) {
    ASSERT_EQ(kStream.size(), 115u);
    Loading run = load(kStream);
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(run.messages.empty());
    const DataStore& d = dataStore;
    EXPECT_STREQ(d.dataName, "t");
    EXPECT_STREQ(d.titlePart1, "A");
    EXPECT_STREQ(d.titlePart2, "B");
    EXPECT_STREQ(d.updateDate, "040101");
    ASSERT_EQ(d.companyCount, 1);
    EXPECT_STREQ(d.companies[0].name, "C");
    EXPECT_STREQ(d.companies[0].phone, "");
    EXPECT_STREQ(d.companies[0].busRoutes, "");
    ASSERT_NE(d.companies[0].introduction, nullptr);
    EXPECT_STREQ(d.companies[0].introduction, "hi");
    ASSERT_EQ(d.categoryCount, 2);
    EXPECT_STREQ(d.categories[0].name, "P");
    EXPECT_EQ(d.categories[0].isGroup, 1);
    EXPECT_STREQ(d.categories[1].name, "Q");
    EXPECT_EQ(d.categories[1].isGroup, 0);
    ASSERT_EQ(d.treeNodeCount, 2);
    EXPECT_EQ(d.treeNodes[0].parent, -1);
    EXPECT_EQ(d.treeNodes[0].category, 0);
    EXPECT_EQ(d.treeNodes[1].parent, 0);
    EXPECT_EQ(d.treeNodes[1].category, 1);
    ASSERT_EQ(d.companyLinkCount, 1);
    EXPECT_EQ(d.companyLinks[0].node, 1);
    EXPECT_EQ(d.companyLinks[0].company, 0);
    EXPECT_EQ(d.companyLinks[0].valid, 1);
    ASSERT_EQ(d.companyTreeCount, 1);
    ASSERT_NE(d.companyTree, nullptr);
    ASSERT_EQ(d.productCount, 1);
    EXPECT_EQ(d.products[0].company, 0);
    EXPECT_EQ(d.products[0].node, 1);
    EXPECT_STREQ(d.products[0].model, "M");
    EXPECT_STREQ(d.products[0].configuration, "");
    EXPECT_EQ(d.products[0].price, 12.5f);
    EXPECT_EQ(d.products[0].valid, 0);
    EXPECT_EQ(d.expiredCount, 1);
    EXPECT_EQ(raster.size(), 0u) << "the raster is let go after loading";
}

TEST_F(LoaderTest, StreamOverManyRasterPiecesLoadsWhole) {
    // 2,500 companies with introductions of 1,000 bytes: texts run across the raster's pieces.
    Bytes s = hexBytes("00 00 00 00");
    for (int i = 0; i < 4; ++i)
        s.push_back(uint8_t(2500 >> (8 * i)));
    for (int c = 0; c < 2500; ++c) {
        s.push_back(1);
        s.push_back(uint8_t('A' + c % 26));
        s.insert(s.end(), 11, 0);
        s.insert(s.end(), {0xE8, 0x03, 0, 0});
        for (int i = 0; i < 1000; ++i)
            s.push_back(uint8_t('a' + (c + i) % 26));
    }
    ASSERT_GT(s.size(), 2 * Raster::kPieceSize);
    Loading run = load(s);
    EXPECT_EQ(run.result, 1);
    ASSERT_EQ(dataStore.companyCount, 2500);
    for (int c : {0, 1048, 2499}) {
        EXPECT_EQ(dataStore.companies[c].name[0], 'A' + c % 26);
        ASSERT_NE(dataStore.companies[c].introduction, nullptr);
        EXPECT_EQ(std::strlen(dataStore.companies[c].introduction), 1000u);
        EXPECT_EQ(dataStore.companies[c].introduction[999], 'a' + (c + 999) % 26);
    }
    EXPECT_EQ(raster.size(), 0u);
}

TEST_F(LoaderTest, PiecesTheDecoderNeverWroteReadAsZeros) {
    // An introduction of two pieces and more whose bytes after the first were never written,
    // then a category: the untouched pieces must be read as exactly that many zero bytes.
    const uint32_t introLength = uint32_t(2 * Raster::kPieceSize + 100);
    Bytes head = hexBytes("00 00 00 00 01 00 00 00");
    head.insert(head.end(), 12, 0);
    for (int i = 0; i < 4; ++i)
        head.push_back(uint8_t(introLength >> (8 * i)));
    head.push_back('x');
    const Bytes tail = hexBytes("01 00 00 00 01 50 01 00 00 00 00 00 00 00 00 00 00 00 00");
    const uint64_t tailAt = kRasterHeaderSize + head.size() - 1 + introLength;
    raster.reset(tailAt + tail.size());
    ASSERT_TRUE(raster.write(kRasterHeaderSize, head.data(), head.size()));
    ASSERT_TRUE(raster.write(tailAt, tail.data(), tail.size()));
    ASSERT_EQ(raster.piece(1), nullptr);
    Loading run = loadInProcess();
    EXPECT_EQ(run.result, 1);
    ASSERT_EQ(dataStore.companyCount, 1);
    ASSERT_NE(dataStore.companies[0].introduction, nullptr);
    EXPECT_STREQ(dataStore.companies[0].introduction, "x");
    ASSERT_EQ(dataStore.categoryCount, 1);
    EXPECT_STREQ(dataStore.categories[0].name, "P");
}

TEST_F(LoaderTest, NoRasterLeavesTheStoreEmpty) {
    raster.clear();
    Loading run = loadInProcess();
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(dataStore.companyCount, 0);
    EXPECT_EQ(dataStore.companies, nullptr);
}

TEST_F(LoaderTest, EmptySectionsAndTexts) {
    // Header texts with lengths 0 and 0x80 (empty, consuming only the length byte), counts 0 and
    // -1, then one category.
    Bytes s = hexBytes("00 80 01 58 FF"
                       "00 00 00 00"
                       "01 00 00 00 02 41 42 07"
                       "FF FF FF FF 00 00 00 00 00 00 00 00");
    Loading run = load(s);
    EXPECT_EQ(run.result, 1);
    EXPECT_STREQ(dataStore.dataName, "");
    EXPECT_STREQ(dataStore.titlePart1, "");
    EXPECT_STREQ(dataStore.titlePart2, "X");
    EXPECT_STREQ(dataStore.updateDate, "");
    EXPECT_EQ(dataStore.companies, nullptr);
    ASSERT_EQ(dataStore.categoryCount, 1);
    EXPECT_STREQ(dataStore.categories[0].name, "AB");
    EXPECT_EQ(dataStore.categories[0].isGroup, 7);
    EXPECT_EQ(dataStore.treeNodes, nullptr);
    EXPECT_EQ(dataStore.companyTree, nullptr);
}

TEST_F(LoaderTest, IntroductionLengthBelowOneIsNull) {
    Bytes s = hexBytes("00 00 00 00 02 00 00 00");
    for (int i = 0; i < 2; ++i) {
        s.push_back(1);
        s.push_back('K');
        for (int t = 1; t < 12; ++t)
            s.push_back(0);
        Bytes length = i == 0 ? hexBytes("00 00 00 00") : hexBytes("F6 FF FF FF");
        s.insert(s.end(), length.begin(), length.end());
    }
    Bytes rest = hexBytes("00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    s.insert(s.end(), rest.begin(), rest.end());
    load(s);
    ASSERT_EQ(dataStore.companyCount, 2);
    EXPECT_EQ(dataStore.companies[0].introduction, nullptr);
    EXPECT_EQ(dataStore.companies[1].introduction, nullptr);
    EXPECT_STREQ(dataStore.companies[1].name, "K");
}

// A stream of one link expiring on the given YYMMDD text.
Bytes streamWithLinkExpiring(const std::string& expiry) {
    Bytes s = hexBytes("00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                       "01 00 00 00 00 00 00 00 00 00 00 00 00");
    s.push_back(uint8_t(expiry.size()));
    s.insert(s.end(), expiry.begin(), expiry.end());
    Bytes none = hexBytes("00 00 00 00");
    s.insert(s.end(), none.begin(), none.end());
    return s;
}

TEST_F(LoaderTest, ExpiryIsAtNoonLocalTime) {
    struct Case {
        int hour, minute;
        const char* expiry;
        int valid;
    } cases[] = {
        {11, 59, "261207", 1}, {12, 0, "261207", 1}, {12, 1, "261207", 0}, {23, 59, "261208", 1},
        {0, 0, "261206", 0},   {9, 0, "270229", 1},  {9, 0, "261232", 1},  {9, 0, "26x207", 1},
        {9, 0, "2612", 1},     {9, 0, "", 1},
    };
    for (const Case& c : cases) {
        setLoadTime(2026, 12, 7, c.hour, c.minute);
        load(streamWithLinkExpiring(c.expiry));
        ASSERT_EQ(dataStore.companyLinkCount, 1);
        EXPECT_EQ(dataStore.companyLinks[0].valid, c.valid)
            << c.expiry << " at " << c.hour << ":" << c.minute;
        EXPECT_EQ(dataStore.expiredCount, 1 - c.valid);
        freeDatabase();
    }
}

TEST_F(LoaderTest, OverlongTextKeepsWhatFitsAndConsumesTheRest) {
    // A category name of 40 bytes: 30 ASCII bytes then double-byte characters, so the 31 bytes
    // that fit would end in the first half of one.
    std::string name(30, 'a');
    for (int i = 0; i < 6; ++i)
        name += "\xB5\xE7"; // 电
    name.resize(40);
    Bytes s = hexBytes("00 00 00 00 00 00 00 00 02 00 00 00");
    s.push_back(uint8_t(name.size()));
    s.insert(s.end(), name.begin(), name.end());
    s.push_back(1);
    s.push_back(1);
    s.push_back('Z');
    s.push_back(0);
    load(s);
    ASSERT_EQ(dataStore.categoryCount, 2);
    EXPECT_EQ(std::string(dataStore.categories[0].name), name.substr(0, 30));
    EXPECT_EQ(dataStore.categories[0].isGroup, 1);
    EXPECT_STREQ(dataStore.categories[1].name, "Z");
}

TEST_F(LoaderTest, StreamEndingEarlyKeepsWholeEntries) {
    // Two categories announced, one and a half given; no later section.
    Bytes s = hexBytes("00 00 00 00 00 00 00 00 02 00 00 00 01 50 01 05 51");
    Loading run = load(s);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(dataStore.categoryCount, 1);
    EXPECT_STREQ(dataStore.categories[0].name, "P");
    EXPECT_EQ(dataStore.treeNodeCount, 0);
    EXPECT_EQ(dataStore.productCount, 0);
}

TEST_F(LoaderTest, HugeCountsAllocateNoMoreThanTheStreamHolds) {
    Bytes s = hexBytes("00 00 00 00 FF FF FF 7F 01 41");
    Loading run = load(s);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(dataStore.companyCount, 0);
}

void* failingAllocation(size_t, size_t) {
    return nullptr;
}
size_t allocationCalls, failingCall;
void* failingOnce(size_t count, size_t size) {
    return ++allocationCalls == failingCall ? nullptr : std::calloc(count, size);
}

TEST_F(LoaderTest, OutOfMemoryShowsTheMessageAndEndsWithStatusZero) {
    allocateZeroed = failingAllocation;
    Loading run = load(kStream);
    allocateZeroed = std::calloc;
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.failures, std::vector<StartupFailure>{StartupFailure::OutOfMemory});
    EXPECT_TRUE(run.messages.empty());
}

TEST_F(LoaderTest, CompanyTreeFailureIsReportedAndLoadingGoesOn) {
    // companies, introduction, categories, nodes, links succeed; the company tree fails.
    allocationCalls = 0;
    failingCall = 6;
    allocateZeroed = failingOnce;
    Loading run = load(kStream);
    allocateZeroed = std::calloc;
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.result, 1);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0], "companyTree内存不足!");
    EXPECT_EQ(dataStore.companyTree, nullptr);
    EXPECT_EQ(dataStore.companyTreeCount, 0);
    EXPECT_EQ(dataStore.productCount, 1) << "products are loaded after the message";
}

// Little-endian 32-bit integers as stream bytes.
Bytes int32s(std::initializer_list<int32_t> values) {
    Bytes out;
    for (int32_t v : values)
        for (int i = 0; i < 4; ++i)
            out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    return out;
}

void append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

TEST_F(LoaderTest, PagesTouchedAheadByAHelperThreadLeaveEveryRecordWhole) {
    // 60,000 products are 12 MB of records: the loader's own chunk and three offered to the
    // helper, which writes into pages the loader has not reached while the loader runs.
    constexpr int32_t kProducts = 60000;
    Bytes s = hexBytes("00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    append(s, int32s({kProducts}));
    for (int32_t i = 0; i < kProducts; ++i) {
        append(s, int32s({0, 0}));
        std::string model = "P" + std::to_string(i);
        s.push_back(uint8_t(model.size()));
        s.insert(s.end(), model.begin(), model.end());
        s.push_back(0);
        float price = float(i);
        uint32_t bits;
        std::memcpy(&bits, &price, 4);
        append(s, int32s({int32_t(bits)}));
        s.insert(s.end(), 4, 0);
    }
    std::atomic<bool> loaded{false};
    freshPages.setHelperPresent(true);
    std::thread helper([&] {
        while (!loaded)
            if (!freshPages.help()) std::this_thread::yield();
    });
    Loading run = load(s);
    loaded = true;
    helper.join();
    freshPages.setHelperPresent(false);

    EXPECT_EQ(run.result, 1);
    ASSERT_EQ(dataStore.productCount, kProducts);
    int whole = 0;
    for (int32_t i = 0; i < kProducts; ++i) {
        ProductRecord expected;
        std::memset(&expected, 0, sizeof expected);
        expected.node = kNoIndex;
        expected.company = kNoCompanyIndex;
        std::snprintf(expected.model, sizeof expected.model, "P%d", int(i));
        expected.price = float(i);
        expected.valid = 1;
        whole += std::memcmp(&expected, &dataStore.products[i], sizeof expected) == 0;
    }
    EXPECT_EQ(whole, kProducts);
}

TEST_F(LoaderTest, IndicesThatReferToNothingAreMarkedNone) {
    Bytes s = hexBytes("00 00 00 00"); // header texts
    append(s, int32s({1}));            // one company, empty
    append(s, Bytes(12, 0));
    append(s, int32s({0}));
    append(s, int32s({1})); // one category
    append(s, hexBytes("01 50 01"));
    append(s, int32s({4, -1, 0, 0, 7, -9, 0, 1, 0})); // nodes: top, bad category, bad parent
    append(s, int32s({3, 1, 0}));                     // links: good, bad node, bad company
    append(s, hexBytes("00 00"));
    append(s, int32s({9, 0}));
    append(s, hexBytes("00 00"));
    append(s, int32s({1, -3}));
    append(s, hexBytes("00 00"));
    append(s, int32s({2})); // products: company 30000, node -2
    for (int32_t company : {30000, 0}) {
        append(s, int32s({company, company == 0 ? -2 : 1}));
        append(s, Bytes(2 + 4 + 4, 0)); // model, configuration, price, unit, origin, remarks, expiry
    }
    Loading run = load(s);
    ASSERT_EQ(run.result, 1);
    const DataStore& d = dataStore;
    ASSERT_EQ(d.treeNodeCount, 4);
    EXPECT_EQ(d.treeNodes[0].parent, -1);
    EXPECT_EQ(d.treeNodes[0].category, 0);
    EXPECT_EQ(d.treeNodes[1].parent, 0);
    EXPECT_EQ(d.treeNodes[1].category, kNoIndex) << "category 7 of 1";
    EXPECT_EQ(d.treeNodes[2].parent, kNoIndex) << "parent -9";
    EXPECT_EQ(d.treeNodes[3].parent, 1);
    ASSERT_EQ(d.companyLinkCount, 3);
    EXPECT_EQ(d.companyLinks[0].node, 1);
    EXPECT_EQ(d.companyLinks[0].company, 0);
    EXPECT_EQ(d.companyLinks[1].node, kNoIndex) << "node 9 of 4";
    EXPECT_EQ(d.companyLinks[2].company, kNoCompanyIndex) << "company -3";
    ASSERT_EQ(d.productCount, 2);
    EXPECT_EQ(d.products[0].company, kNoCompanyIndex) << "company 30000 of 1";
    EXPECT_EQ(d.products[0].node, 1);
    EXPECT_EQ(d.products[1].company, 0);
    EXPECT_EQ(d.products[1].node, kNoIndex) << "node -2";

    // The checked way to the records.
    EXPECT_EQ(companyAt(0), &d.companies[0]);
    EXPECT_EQ(companyAt(kNoCompanyIndex), nullptr);
    EXPECT_EQ(companyAt(1), nullptr);
    EXPECT_EQ(categoryAt(d.treeNodes[1].category), nullptr);
    EXPECT_EQ(treeNodeAt(3), &d.treeNodes[3]);
    EXPECT_EQ(treeNodeAt(4), nullptr);
    EXPECT_EQ(treeNodeAt(kNoIndex), nullptr);
    EXPECT_EQ(companyLinkAt(2), &d.companyLinks[2]);
    EXPECT_EQ(productAt(2), nullptr);
    EXPECT_EQ(productAt(INT32_MIN), nullptr);
}

TEST_F(LoaderTest, CompaniesBeyondTheLastIndexAreReadPast) {
    // 30002 companies (the last with an introduction), then one category and a link each to
    // company 29999, the last that fits, and 30000, which means none.
    const int32_t stated = kMaxCompanyCount + 2;
    Bytes s = hexBytes("00 00 00 00");
    append(s, int32s({stated}));
    for (int32_t i = 0; i < stated - 1; ++i) {
        append(s, Bytes(12, 0));
        append(s, int32s({0}));
    }
    append(s, Bytes(12, 0));
    append(s, int32s({2}));
    append(s, hexBytes("68 69"));
    append(s, int32s({1}));
    append(s, hexBytes("01 51 00"));
    append(s, int32s({1, -1, 0}));
    append(s, int32s({2, 0, 29999}));
    append(s, hexBytes("00 00"));
    append(s, int32s({0, 30000}));
    append(s, hexBytes("00 00"));
    Loading run = load(s);
    ASSERT_EQ(run.result, 1);
    EXPECT_EQ(dataStore.companyCount, 30000);
    ASSERT_EQ(dataStore.categoryCount, 1) << "the sections after the companies are read";
    EXPECT_STREQ(dataStore.categories[0].name, "Q");
    ASSERT_EQ(dataStore.companyLinkCount, 2);
    EXPECT_EQ(dataStore.companyLinks[0].company, 29999);
    EXPECT_EQ(dataStore.companyLinks[1].company, kNoCompanyIndex);
}

TEST_F(LoaderTest, ATextEndingInALoneLeadByteLosesIt) {
    // titlePart1 "满→" and a lone lead byte; titlePart2 "电", a lone lead byte, a zero byte and
    // "A"; a company "a电" and a lone lead byte, whose introduction "hi" ends in one too.
    Bytes s = hexBytes("01 74 05 C2 FA A1 FA BD 05 B5 E7 C4 00 41 00");
    append(s, int32s({1}));
    append(s, hexBytes("04 61 B5 E7 C4"));
    append(s, Bytes(11, 0));
    append(s, int32s({3}));
    append(s, hexBytes("68 69 B5"));
    append(s, int32s({0, 0, 0, 0}));
    load(s);
    EXPECT_STREQ(dataStore.titlePart1, "满→") << "joined to the title's separator it would garble it";
    EXPECT_STREQ(dataStore.titlePart2, "电");
    ASSERT_EQ(dataStore.companyCount, 1);
    EXPECT_STREQ(dataStore.companies[0].name, "a电");
    EXPECT_STREQ(dataStore.companies[0].introduction, "hi");
    // The text helpers count no lone lead byte as a character.
    EXPECT_EQ(fieldTextLength("a\xB5\xE7\xC4", 4), 3u);
    EXPECT_EQ(fieldTextLength("a\xB5\xE7\0", 4), 3u);
    EXPECT_EQ(gbkFitLength("ab\xC4", 3, 10), 2u);
    char field[8];
    EXPECT_EQ(copyToField(field, sizeof field, "\xB5\xE7\xB5", 3), 2u);
    EXPECT_STREQ(field, "电");
}

TEST_F(LoaderTest, FreeDatabaseReleasesEverythingAndTolerantOfEmpty) {
    load(kStream);
    dataStore.listRowBuffer = std::malloc(64);
    freeDatabase();
    EXPECT_EQ(dataStore.companies, nullptr);
    EXPECT_EQ(dataStore.companyCount, 0);
    EXPECT_EQ(dataStore.listRowBuffer, nullptr);
    freeDatabase();
}

} // namespace
