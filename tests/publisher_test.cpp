// The catalogue source form: CSV, checks with their messages, limits in GBK bytes, round trips.
// This file is compiled with UTF-8 literals, the encoding of the source form and of messages.
#include "test_support.h"

#include <fstream>

#include "appender.h"
#include "catalogue_source.h"
#include "container.h"
#include "container_writer.h"
#include "csv.h"
#include "database.h"
#include "fileio.h"
#include "host_slot.h"
#include "path_text.h"
#include "program_file.h"
#include "stream_writer.h"
#include "textcodec.h"
#include "tool_files.h"
#include "update_body.h"

namespace fs = std::filesystem;

namespace {

TEST(CsvTest, QuotingLineBreaksAndMarks) {
    CsvTable t = parseCsv("\xEF\xBB\xBF"
                          "a,b,c\r\n"
                          "\"x, y\",\"say \"\"hi\"\"\",\"two\nlines\"\n"
                          "\n"
                          "last,,\n");
    ASSERT_EQ(t.error, "");
    ASSERT_EQ(t.records.size(), 3u);
    EXPECT_EQ(t.records[0].fields, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(t.records[1].fields, (std::vector<std::string>{"x, y", "say \"hi\"", "two\nlines"}));
    EXPECT_EQ(t.records[1].line, 2);
    EXPECT_EQ(t.records[2].fields, (std::vector<std::string>{"last", "", ""}));
    EXPECT_EQ(t.records[2].line, 5) << "lines inside a quoted field are counted";

    EXPECT_EQ(parseCsv("a\n\"open\n").errorLine, 2);
    EXPECT_EQ(parseCsv("a\n\"open\n").error, "a quoted field is not closed");
    EXPECT_EQ(parseCsv("x\"y\n").error, "a quote inside an unquoted field");

    std::vector<std::string> fields = {"plain", "with,comma", "quote\"d", "line\nbreak", ""};
    CsvTable back = parseCsv(formatCsvRecord(fields));
    ASSERT_EQ(back.records.size(), 1u);
    EXPECT_EQ(back.records[0].fields, fields);
}

// A catalogue source folder written from CSV texts; each test changes what it needs.
class SourceTest : public ScratchDirTest {
  protected:
    std::map<std::string, std::string> files = {
        {"catalogue.csv",
         "dataName,titlePart1,titlePart2,updateDate,updateHost\npc,华东,电脑商情,2026-12-01,\n"},
        {"companies.csv", "key,name,phone,fax,contact,address,postcode,website,email,bank,account,taxNumber,"
                          "busRoutes,introduction\n"
                          "A,星河电脑公司,0571-1,,,,,http://a.example,,,,,,\"介绍, 两行\n第二行\"\n"
                          "B,蓝鲸科技,,,,,,,,,,,,\n"},
        {"tree.csv", "path,holds\n台式电脑,categories\n台式电脑/星河,companies\n打印机,categories\n"
                     "打印机/星河,companies\n"},
        {"listings.csv", "company,node,linkText,expires\nB,打印机/星河,,2030-12-31\nA,台式电脑/星河,代理,"
                         "2030-12-31\nA,打印机/星河,,\n"},
        {"products.csv", "company,node,model,configuration,price,unit,origin,remarks,expires\n"
                         "B,打印机/星河,P1,,1288.50,台,杭州,,2030-01-01\n"
                         "A,台式电脑/星河,D1,酷睿,3599,台,,,2025-01-01\n"
                         "A,打印机/星河,P2,,,,,,\n"},
    };
    void writeSource() {
        fs::create_directories("src");
        for (const auto& [name, text] : files) {
            std::ofstream out(fs::path("src") / name, std::ios::binary);
            out << text;
        }
    }
    bool read(CatalogueSource& source, SourceReport& report) {
        writeSource();
        return readCatalogueSource("src", source, report);
    }
    std::vector<std::string> errors() {
        CatalogueSource source;
        SourceReport report;
        read(source, report);
        return report.errors;
    }
    void replace(const std::string& file, const std::string& from, const std::string& to) {
        std::string& text = files[file];
        size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }
};

TEST_F(SourceTest, ReadsOrdersAndSharesCategories) {
    CatalogueSource source;
    SourceReport report;
    ASSERT_TRUE(read(source, report)) << (report.errors.empty() ? "" : report.errors[0]);
    const Catalogue& c = source.catalogue;
    EXPECT_EQ(gbkToUtf8(c.titlePart1), "华东");
    EXPECT_EQ(c.titlePart1.size(), 4u) << "texts are held in GBK";
    ASSERT_EQ(c.companies.size(), 2u);
    EXPECT_EQ(gbkToUtf8(c.companies[0].introduction), "介绍, 两行\n第二行");
    // 台式电脑 and 打印机 (groups) and one 星河 (leaf) shared by both brand nodes.
    ASSERT_EQ(c.categories.size(), 3u);
    EXPECT_EQ(c.treeNodes[1].category, c.treeNodes[3].category);
    EXPECT_EQ(c.treeNodes[3].parent, 2);
    // Links grouped by node in tree order, products by company, each keeping file order.
    ASSERT_EQ(c.links.size(), 3u);
    EXPECT_EQ(c.links[0].node, 1);
    EXPECT_EQ(c.links[1].company, 1);
    EXPECT_EQ(c.links[2].company, 0);
    EXPECT_EQ(c.links[0].expiry, "301231");
    EXPECT_EQ(c.links[2].expiry, "");
    ASSERT_EQ(c.products.size(), 3u);
    EXPECT_EQ(c.products[0].model, "D1");
    EXPECT_EQ(c.products[1].model, "P2");
    EXPECT_EQ(c.products[1].price, 0.0f);
    EXPECT_EQ(c.products[2].price, 1288.5f);
}

TEST_F(SourceTest, EveryErrorIsReportedWithFileLineAndField) {
    replace("companies.csv", "0571-1", std::string(45, '9'));
    replace("companies.csv", "蓝鲸科技", "蓝鲸\xF0\x9F\x98\x80"); // an emoji has no GBK code
    replace("listings.csv", "B,打印机", "Z,打印机");
    replace("listings.csv", "A,台式电脑/星河,代理", "A,台式电脑/月亮,代理");
    replace("listings.csv", "2030-12-31\nA", "2030-02-30\nA");
    replace("products.csv", "1288.50", "12O8");
    replace("tree.csv", "台式电脑,categories\n台式电脑/星河,companies\n",
            "台式电脑/星河,companies\n台式电脑,categories\n");
    std::vector<std::string> e = errors();
    std::vector<std::string> expected = {
        "companies.csv:2: phone: 45 bytes in GBK, but the field holds at most 44",
        "companies.csv:4: name: the character \"\xF0\x9F\x98\x80\" cannot be written in GBK",
        "tree.csv:2: path: the parent \"台式电脑\" comes after its child (line 3); list parents first",
        "listings.csv:2: company: no company has the key \"Z\"",
        "listings.csv:2: expires: \"2030-02-30\" is not a date YYYY-MM-DD from 2000-01-01 to 2099-12-31",
        "listings.csv:3: node: the tree has no node \"台式电脑/月亮\"",
        "products.csv:3: node: the tree has no node \"台式电脑/星河\"",
        "products.csv:2: price: \"12O8\" is not a price in yuan such as 1288 or 1288.50",
    };
    // The euro sign line is line 4 because the introduction above spans two lines.
    std::sort(e.begin(), e.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(e, expected);
}

TEST_F(SourceTest, TreeAndKeyMistakes) {
    replace("tree.csv", "打印机/星河,companies\n",
            "打印机/星河,companies\n打印机/星河,companies\n缺/父,companies\n"
            "台式电脑/星河/型号,companies\n打印机/,companies\n扫描仪,both\n");
    replace("companies.csv", "B,蓝鲸科技", "A,蓝鲸科技");
    std::vector<std::string> e = errors();
    EXPECT_NE(std::find(e.begin(), e.end(), "tree.csv:6: path: \"打印机/星河\" is listed twice"), e.end());
    EXPECT_NE(std::find(e.begin(), e.end(), "tree.csv:7: path: the parent \"缺\" is not in the tree"),
              e.end());
    EXPECT_NE(std::find(e.begin(), e.end(),
                        "tree.csv:8: path: the parent \"台式电脑/星河\" holds companies, not categories"),
              e.end());
    EXPECT_NE(std::find(e.begin(), e.end(), "tree.csv:9: path: \"打印机/\" has an empty label"), e.end());
    EXPECT_NE(std::find(e.begin(), e.end(),
                        "tree.csv:10: holds: \"both\" is neither \"categories\" nor \"companies\""),
              e.end());
    EXPECT_NE(std::find(e.begin(), e.end(), "companies.csv:4: key: the key \"A\" is used twice"), e.end());
}

TEST_F(SourceTest, ListingAtAGroupNodeAndMissingColumn) {
    replace("listings.csv", "B,打印机/星河", "B,打印机");
    replace("products.csv", "remarks,", "remark,");
    std::vector<std::string> e = errors();
    EXPECT_NE(
        std::find(e.begin(), e.end(), "listings.csv:2: node: \"打印机\" holds categories, not companies"),
        e.end());
    EXPECT_NE(std::find(e.begin(), e.end(), "products.csv:1: the column \"remarks\" is missing"), e.end());
}

TEST_F(SourceTest, WebAddressWithoutSchemeIsOnlyAWarning) {
    replace("companies.csv", "http://a.example", "www.a.example");
    CatalogueSource source;
    SourceReport report;
    EXPECT_TRUE(read(source, report));
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].rfind("companies.csv:2: website: \"www.a.example\" has no scheme", 0), 0u);
}

TEST_F(SourceTest, TooManyCompanies) {
    std::string& text = files["companies.csv"];
    for (int i = 0; i < 29998; ++i)
        text += "K" + std::to_string(i) + ",n,,,,,,,,,,,,\n";
    EXPECT_EQ(errors(), std::vector<std::string>{});
    text += "Kextra,n,,,,,,,,,,,,\n";
    std::vector<std::string> e = errors();
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0], "companies.csv:30003: key: 30001 companies, but a catalogue holds at most 30000");
}

TEST_F(SourceTest, EachFieldAtItsLimitAndOneByteOver) {
    // Double-byte characters where the limit is even, so the count is of GBK bytes, not characters.
    auto fill = [](size_t bytes) {
        std::string utf8;
        for (size_t i = 0; i + 2 <= bytes; i += 2)
            utf8 += "电";
        if (bytes % 2) utf8 += "x";
        return utf8;
    };
    struct Field {
        const char* file;
        const char* from; // the text in the default source that the value replaces
        const char* column;
        size_t limit;
    } fields[] = {
        {"catalogue.csv", "华东", "titlePart1", 19},
        {"catalogue.csv", "电脑商情", "titlePart2", 19},
        {"catalogue.csv", "2026-12-01", "updateDate", 11},
        {"companies.csv", "星河电脑公司", "name", 59},
        {"companies.csv", "0571-1", "phone", 44},
        {"listings.csv", "代理", "linkText", 19},
        {"products.csv", "P1", "model", 29},
        {"products.csv", "酷睿", "configuration", 101},
        {"products.csv", "杭州", "origin", 7},
        {"catalogue.csv", "pc", "dataName", 31},
    };
    for (const Field& f : fields) {
        std::map<std::string, std::string> original = files;
        replace(f.file, f.from, fill(f.limit));
        EXPECT_EQ(errors(), std::vector<std::string>{}) << f.column << " at its limit";
        files = original;
        replace(f.file, f.from, fill(f.limit + 1));
        std::vector<std::string> e = errors();
        ASSERT_EQ(e.size(), 1u) << f.column << ": " << (e.empty() ? "" : e[0]);
        EXPECT_NE(e[0].find(std::string(f.column) + ": " + std::to_string(f.limit + 1) +
                            " bytes in GBK, but the field holds at most " + std::to_string(f.limit)),
                  std::string::npos)
            << e[0];
        files = original;
    }
    // Every company field, set in the second company's row by its column.
    const char* companyColumns[] = {"name",    "phone", "fax",  "contact", "address",   "postcode",
                                    "website", "email", "bank", "account", "taxNumber", "busRoutes"};
    const size_t companyLimits[] = {59, 44, 14, 19, 49, 6, 29, 29, 29, 29, 29, 29};
    for (size_t column = 0; column < 12; ++column) {
        for (size_t extra : {0, 1}) {
            std::map<std::string, std::string> original = files;
            std::string row = "B";
            for (size_t c = 0; c < 12; ++c)
                row += "," + (c == column ? fill(companyLimits[column] + extra) : "");
            replace("companies.csv", "B,蓝鲸科技,,,,,,,,,,,,", row + ",");
            std::vector<std::string> e = errors();
            if (extra == 0) {
                EXPECT_EQ(e, std::vector<std::string>{}) << companyColumns[column] << " at its limit";
            } else {
                ASSERT_EQ(e.size(), 1u) << companyColumns[column];
                EXPECT_EQ(e[0], "companies.csv:4: " + std::string(companyColumns[column]) + ": " +
                                    std::to_string(companyLimits[column] + 1) +
                                    " bytes in GBK, but the field holds at most " +
                                    std::to_string(companyLimits[column]));
            }
            files = original;
        }
    }
    // A category label counts alone, not with its parent's.
    replace("tree.csv", "打印机/星河,companies\n",
            "打印机/星河,companies\n打印机/" + fill(31) + ",companies\n打印机/" + fill(32) + ",companies\n");
    std::vector<std::string> e = errors();
    ASSERT_EQ(e.size(), 1u);
    EXPECT_NE(e[0].find("is 32 bytes in GBK, but a category name holds at most 31"), std::string::npos);
}

TEST_F(SourceTest, DumpedSourcePacksToTheSameFile) {
    CatalogueSource source;
    SourceReport report;
    ASSERT_TRUE(read(source, report));
    source.updateHost = "u.example";
    std::string writeError;
    ASSERT_TRUE(writeCatalogueSource("back", source, writeError));
    CatalogueSource again;
    SourceReport report2;
    ASSERT_TRUE(readCatalogueSource("back", again, report2)) << report2.errors.front();
    EXPECT_EQ(again.updateHost, "u.example");
    std::vector<uint8_t> a, b;
    std::vector<FieldError> errors;
    ASSERT_TRUE(writeDatabaseStream(source.catalogue, a, errors));
    ASSERT_TRUE(writeDatabaseStream(again.catalogue, b, errors));
    EXPECT_TRUE(a == b);
}

// Paths are UTF-8 inside the program and its tools, whatever script names a folder: they convert
// to UTF-16 and back unchanged, bytes that are not UTF-8 name no file, and files are made, read
// and replaced in such folders.
TEST_F(ScratchDirTest, FoldersNamedInAnyScript) {
    const std::string folder = "한국어 자료/Ünïcödé 张伟 😀";
    std::u16string wide;
    ASSERT_TRUE(utf16OfPath(folder, &wide));
    EXPECT_EQ(wide, u"한국어 자료/Ünïcödé 张伟 😀");
    EXPECT_EQ(pathOfUtf16(wide), folder);
    // Windows names may hold a lone surrogate; its three-byte form comes back to it.
    std::u16string lone = {u'a', char16_t(0xD800), u'b', char16_t(0xDC01)};
    ASSERT_TRUE(utf16OfPath(pathOfUtf16(lone), &wide));
    EXPECT_EQ(wide, lone);
    for (const char* bad : {"\xC0\x80", "\xE4\xB8", "a\xFF", "\xF4\x90\x80\x80", "\xE0\x80\xAF", "\xB8"}) {
        EXPECT_FALSE(utf16OfPath(bad, &wide)) << bad;
        EXPECT_TRUE(wide.empty());
    }

    std::string error;
    ASSERT_TRUE(makeFolders(folder, error)) << error;
    const std::string file = pathIn(folder, "目录.bin");
    ASSERT_TRUE(writeFileReplacing(file, Bytes{1, 2, 3}, error)) << error;
    ASSERT_TRUE(writeFileReplacing(file, Bytes{4, 5}, error)) << error;
    Bytes read;
    ASSERT_TRUE(readFileBytes(file, read));
    EXPECT_EQ(read, (Bytes{4, 5}));
    EXPECT_TRUE(openFile(file.c_str(), "rb"));
#ifdef _WIN32
    EXPECT_FALSE(openFile("\xC0\x80.bin", "wb")) << "Windows names are UTF-16: such bytes name nothing";
#endif
}

TEST(DateAndPriceTest, Conversions) {
    std::string e;
    EXPECT_TRUE(expiryFromDate("2099-12-31", e));
    EXPECT_EQ(e, "991231");
    EXPECT_TRUE(expiryFromDate("2028-02-29", e));
    for (const char* bad :
         {"1999-12-31", "2100-01-01", "2027-02-29", "2026-1-01", "20261201", "2026-12-01x", "２０２６"})
        EXPECT_FALSE(expiryFromDate(bad, e)) << bad;
    EXPECT_EQ(dateFromExpiry("000101"), "2000-01-01");
    EXPECT_EQ(dateFromExpiry("12x"), "12x");
    for (float p : {1288.5f, 0.01f, 3599.0f, 99999.99f, 0.1f, 16777216.0f}) {
        std::string text = priceText(p);
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), p) << text;
    }
    EXPECT_EQ(priceText(1288.5f), "1288.5");
    EXPECT_EQ(priceText(0), "");
}

TEST(HostSlotTest, FoundFilledAndRefused) {
    std::vector<uint8_t> image(100, 0x11);
    HostSlot slot = {"KovantaHostSlot", "default.example"};
    const auto* bytes = reinterpret_cast<const uint8_t*>(&slot);
    image.insert(image.begin() + 40, bytes, bytes + sizeof slot);
    EXPECT_EQ(hostInSlot(image), "default.example");
    std::string error;
    ASSERT_TRUE(setHostInSlot(image, std::string(59, 'h'), error));
    EXPECT_EQ(hostInSlot(image), std::string(59, 'h'));
    ASSERT_TRUE(setHostInSlot(image, "127.0.0.1", error));
    EXPECT_EQ(hostInSlot(image), "127.0.0.1") << "a shorter host leaves no tail of the longer one";
    EXPECT_FALSE(setHostInSlot(image, std::string(60, 'h'), error));
    EXPECT_EQ(error, "the update host is 60 bytes, but the program holds at most 59");
    std::vector<uint8_t> none(200, 0);
    EXPECT_FALSE(setHostInSlot(none, "h", error));
    EXPECT_EQ(error, "the program image has no update-host slot");
}

TEST(UpdateBodyTest, LengthPrefixedItemsWithinLimits) {
    std::vector<uint8_t> body;
    std::string error;
    ASSERT_TRUE(writeUpdateBody("2026-12-01", "1.4", "new", body, error));
    EXPECT_EQ(body, (std::vector<uint8_t>{10, '2', '0', '2', '6', '-', '1', '2', '-', '0', '1', 3, '1', '.',
                                          '4', 3, 'n', 'e', 'w'}));
    ASSERT_TRUE(
        writeUpdateBody(std::string(15, 'd'), std::string(11, 'v'), std::string(255, 'x'), body, error));
    EXPECT_EQ(body.size(), 3u + 15 + 11 + 255);
    EXPECT_FALSE(writeUpdateBody(std::string(16, 'd'), "1", "", body, error));
    EXPECT_EQ(error, "the date is 16 bytes in GBK, but the program reads at most 15");
    EXPECT_FALSE(writeUpdateBody("d", std::string(12, 'v'), "", body, error));
    EXPECT_FALSE(writeUpdateBody("d", "v", std::string(256, 'x'), body, error));
}

} // namespace
