// The writing side: field limits, the stream, and whole program files read back by the loader.
#include "test_support.h"

#include "appender.h"
#include "container.h"
#include "container_writer.h"
#include "database.h"
#include "stream_writer.h"

namespace {

Catalogue smallCatalogue() {
    Catalogue c;
    c.dataName = "pc";
    c.titlePart1 = "\xB5\xE7\xC4\xD4"; // 电脑
    c.titlePart2 = "B";
    c.updateDate = "2026-12-01";
    CompanySource k;
    k.name = "Alpha";
    k.phone = std::string(44, '1');
    k.website = "http://a.example";
    k.introduction = std::string(1000, 'x');
    c.companies = {k, CompanySource{}};
    c.categories = {{"P", true}, {"Q", false}};
    c.treeNodes = {{-1, 0}, {0, 1}};
    c.links = {{1, 0, "L", "991231"}, {1, 1, "", "000101"}};
    c.products = {{0, 1, "M1", std::string(101, 'c'), 1234.5f, "u", "o", "r", "991231"}};
    return c;
}

using WriterTest = ScratchDirTest;

TEST_F(WriterTest, FieldsAtTheLimitPassAndOneByteOverIsRefused) {
    Catalogue c = smallCatalogue();
    std::vector<uint8_t> stream;
    std::vector<FieldError> errors;
    EXPECT_TRUE(writeDatabaseStream(c, stream, errors));
    EXPECT_TRUE(errors.empty());

    c.companies[0].phone += '1';
    c.products[0].unit = "\xB8\xF6\xB8\xF6\xB8"; // 5 bytes: fits
    c.products[0].origin = "12345678";           // 8 bytes: one over
    c.dataName = std::string(32, 'd');
    EXPECT_FALSE(writeDatabaseStream(c, stream, errors));
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0].field, "dataName");
    EXPECT_EQ(errors[0].length, 32u);
    EXPECT_EQ(errors[0].limit, 31u);
    EXPECT_EQ(errors[1].section, "company");
    EXPECT_EQ(errors[1].field, "phone");
    EXPECT_EQ(errors[1].limit, 44u);
    EXPECT_EQ(errors[2].section, "product");
    EXPECT_EQ(errors[2].field, "origin");
}

TEST_F(WriterTest, CatalogueRoundTripsThroughTheProgramFile) {
    Catalogue c = smallCatalogue();
    std::vector<uint8_t> stream;
    std::vector<FieldError> errors;
    ASSERT_TRUE(writeDatabaseStream(c, stream, errors));
    Bytes program = appendContainer(Bytes(300, 0x4D), writeContainer({imageForStream(stream)}));
    Extraction run = extractInProcess(program);
    ASSERT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "");
    ASSERT_GE(run.raster.size(), 1078 + stream.size());
    EXPECT_TRUE(Bytes(run.raster.begin() + 1078, run.raster.begin() + 1078 + long(stream.size())) == stream);

    setLoadTime(2026, 12, 7, 10, 0);
    Loading load = loadInProcess();
    EXPECT_EQ(load.result, 1);
    const DataStore& d = dataStore;
    EXPECT_STREQ(d.titlePart1, c.titlePart1.c_str());
    EXPECT_STREQ(d.updateDate, "2026-12-01");
    ASSERT_EQ(d.companyCount, 2);
    EXPECT_EQ(std::string(d.companies[0].phone), c.companies[0].phone);
    EXPECT_EQ(std::string(d.companies[0].introduction), c.companies[0].introduction);
    EXPECT_EQ(d.companies[1].introduction, nullptr);
    ASSERT_EQ(d.companyLinkCount, 2);
    EXPECT_EQ(d.companyLinks[0].valid, 1);
    EXPECT_EQ(d.companyLinks[1].valid, 0);
    ASSERT_EQ(d.productCount, 1);
    EXPECT_EQ(std::string(d.products[0].configuration), c.products[0].configuration);
    EXPECT_EQ(d.products[0].price, 1234.5f);
    EXPECT_EQ(d.expiredCount, 1);
}

TEST_F(WriterTest, AppendingReplacesAnEarlierContainer) {
    Bytes image(100, 0x90);
    Bytes first = appendContainer(image, writeContainer({imageForStream({1, 2, 3})}));
    Bytes second = appendContainer(first, writeContainer({imageForStream({4, 5})}));
    EXPECT_EQ(second, appendContainer(image, writeContainer({imageForStream({4, 5})})));
    EXPECT_EQ(stripContainer(second), image);
    EXPECT_EQ(stripContainer(image), image) << "an image without container stays whole";
}

TEST_F(WriterTest, StreamLayoutKeepsRowsBottomUp) {
    std::vector<uint8_t> stream(3000);
    for (size_t i = 0; i < stream.size(); ++i)
        stream[i] = uint8_t(i * 7);
    ContainerImage image = imageForStream(stream);
    EXPECT_EQ(image.width % 4, 0);
    Extraction run = extractInProcess(programFileWith(writeContainer({image})));
    ASSERT_EQ(run.exitStatus, -1);
    Bytes area(run.raster.begin() + 1078, run.raster.end());
    ASSERT_EQ(area.size(), size_t(image.width) * size_t(image.height));
    EXPECT_TRUE(Bytes(area.begin(), area.begin() + 3000) == stream);
    EXPECT_TRUE(std::all_of(area.begin() + 3000, area.end(), [](uint8_t b) { return b == 0; }));
}

} // namespace
