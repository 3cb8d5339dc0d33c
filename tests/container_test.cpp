// The container framing: trailer, header checks, blocks, extensions, diagnostics and exits.
#include "test_support.h"

#include "container.h"
#include "container_writer.h"
#include "diagnostics.h"
#include "lzw.h"

namespace {

// The 4 x 2 image with a 4-entry global table (red 0x41, 0x42 at entries 1 and 2).
const Bytes kExample =
    hexBytes("75 6D 73 33 39 30 04 00 02 00 81 00 00 00 00 00 41 00 00 42 00 00 00 00 00"
             " 2C 00 00 00 00 04 00 02 00 00 08 0C 00 03 04 08 10 40 80 00 01 02 02 02 00 3B");

Bytes exampleWith(size_t at, const Bytes& inserted) {
    Bytes c = kExample;
    c.insert(c.begin() + long(at), inserted.begin(), inserted.end());
    return c;
}

constexpr size_t kFirstBlock = 25; // offset of the ',' in the example
constexpr size_t kTrailer = 50;

using ContainerTest = ScratchDirTest;

TEST_F(ContainerTest, WorkedExampleGivesTheRasterFileByteForByte) {
    Extraction run = extractInProcess(programFileWith(kExample));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "");
    ASSERT_EQ(run.raster.size(), 1086u);
    EXPECT_EQ(
        Bytes(run.raster.begin(), run.raster.begin() + 54),
        hexBytes("42 4D 3E 04 00 00 00 00 00 00 36 04 00 00 28 00 00 00 04 00 00 00 02 00 00 00 01 00 08 00"
                 " 00 00 00 00 08 00 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 01 00 00"));
    Bytes table(run.raster.begin() + 54, run.raster.begin() + 1078);
    Bytes expectedTable(1024, 0);
    expectedTable[6] = 0x41;
    expectedTable[10] = 0x42;
    EXPECT_EQ(table, expectedTable);
    EXPECT_EQ(Bytes(run.raster.begin() + 1078, run.raster.end()), hexBytes("42 42 42 42 41 41 41 41"));
}

TEST_F(ContainerTest, VersionsAndMagic) {
    Bytes v622 = kExample;
    v622[3] = '6', v622[4] = '2', v622[5] = '2';
    Bytes reference = extractInProcess(programFileWith(kExample)).raster;
    Extraction run = extractInProcess(programFileWith(v622));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.raster, reference);

    Bytes v391 = kExample;
    v391[5] = '1';
    run = extractInProcess(programFileWith(v391));
    EXPECT_EQ(run.exitStatus, 5);
    EXPECT_EQ(run.diagnostics, "版本不是 'Ver39' 或 'Ver40',无法识别!\n");

    Bytes gif = kExample;
    gif[0] = 'G';
    run = extractInProcess(programFileWith(gif));
    EXPECT_EQ(run.exitStatus, 5);
    EXPECT_EQ(run.diagnostics, "不是 ums 格式的数据,无法识别!\n");
}

// The program file's last 4 bytes (10 00 00 00) follow a cut container, so the reader meets
// them where the container's bytes end.
const char* const kTrailerAsIntroducers = "bogus character 0x10, ignoring\n"
                                          "bogus character 0x00, ignoring\n"
                                          "bogus character 0x00, ignoring\n"
                                          "bogus character 0x00, ignoring\n";

TEST_F(ContainerTest, TruncationsEndWithTheirDiagnostic) {
    struct Case {
        size_t keep;
        std::string diagnostics;
    } cases[] = {
        {6, "读取错误!\n"},
        {13, "线表错误!\n"},
        {kFirstBlock, std::string(kTrailerAsIntroducers) + "EOF / read error on data\n"},
        {kFirstBlock + 5, "couldn't read 数据!\n"},
        {kTrailer, std::string(kTrailerAsIntroducers) + "EOF / read error on data\n"},
    };
    for (const Case& c : cases) {
        Bytes cut(kExample.begin(), kExample.begin() + long(c.keep));
        Extraction run = extractInProcess(programFileWith(cut));
        EXPECT_EQ(run.exitStatus, 5) << "kept " << c.keep;
        EXPECT_EQ(run.diagnostics, c.diagnostics) << "kept " << c.keep;
    }
}

TEST_F(ContainerTest, MinimumCodeSizeAboveEightIsRefused) {
    Bytes bad = kExample;
    bad[kFirstBlock + 10] = 9;
    Extraction run = extractInProcess(programFileWith(bad));
    EXPECT_EQ(run.exitStatus, 5);
    EXPECT_EQ(run.diagnostics, "LZW data error: minimum code size above 8\n");
}

TEST_F(ContainerTest, TrailerOffsetBeyondTheFile) {
    Bytes file = programFileWith(kExample);
    file[file.size() - 2] = 0x7F;
    Extraction run = extractInProcess(file);
    EXPECT_EQ(run.exitStatus, 5);
    EXPECT_EQ(run.diagnostics, "error reading magic number\n");
}

TEST_F(ContainerTest, FileShorterThanTheTrailerExitsQuietly) {
    Extraction run = extractInProcess(Bytes{1, 2, 3});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.diagnostics, "");
}

TEST_F(ContainerTest, BogusIntroducersAreReportedAndSkipped) {
    Bytes reference = extractInProcess(programFileWith(kExample)).raster;
    Extraction run = extractInProcess(programFileWith(exampleWith(kFirstBlock, {0x00, 0xAB})));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "bogus character 0x00, ignoring\nbogus character 0xab, ignoring\n");
    EXPECT_EQ(run.raster, reference);
}

TEST_F(ContainerTest, ExtensionsAreSkippedWithTheirDiagnostics) {
    Bytes reference = extractInProcess(programFileWith(kExample)).raster;
    Bytes extensions = hexBytes("21 F9 04 00 00 00 00 00"       // graphic control: silent
                                "21 FE 03 61 62 63 02 64 65 00" // comment: silent
                                "21 01 02 01 02 00"             // plain text
                                "21 FF 0B 4E 45 54 53 43 41 50 45 32 2E 30 03 01 00 00 00" // application
                                "21 42 01 07 00");                                         // unknown label
    Extraction run = extractInProcess(programFileWith(exampleWith(kFirstBlock, extensions)));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "got a 'Plain Text Extension' extension\n"
                               "got a 'Application Extension' extension\n"
                               "got a 'UNKNOWN (0x42)' extension\n");
    EXPECT_EQ(run.raster, reference);
}

TEST_F(ContainerTest, EmptyGraphicControlExtensionDoesNotSwallowTheImage) {
    Bytes reference = extractInProcess(programFileWith(kExample)).raster;
    Extraction run = extractInProcess(programFileWith(exampleWith(kFirstBlock, hexBytes("21 F9 00"))));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.raster, reference);
}

TEST_F(ContainerTest, FileEndingInsideAnExtensionDoesNotHang) {
    Bytes cut(kExample.begin(), kExample.begin() + long(kFirstBlock));
    Bytes extension = hexBytes("21 FE 09 61 62");
    cut.insert(cut.end(), extension.begin(), extension.end());
    Extraction run = extractInProcess(programFileWith(cut));
    EXPECT_EQ(run.exitStatus, 5);
    EXPECT_EQ(run.diagnostics, "error in reading DataBlock\nEOF / read error on data\n");
}

TEST_F(ContainerTest, ImageCounts) {
    Bytes none(kExample.begin(), kExample.begin() + long(kFirstBlock));
    none.push_back(';');
    Extraction run = extractInProcess(programFileWith(none));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.diagnostics, "only 0 data  found in file\n");

    // A second image (all pixels 3) behind the first: only the first is written.
    ContainerImage threes;
    threes.width = 4;
    threes.height = 2;
    threes.pixels.assign(8, 3);
    Bytes built = writeContainer({threes});
    Bytes second(built.begin() + 13 + 768, built.end() - 1); // the image block alone
    Bytes reference = extractInProcess(programFileWith(kExample)).raster;
    run = extractInProcess(programFileWith(exampleWith(kTrailer, second)));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "");
    EXPECT_EQ(run.raster, reference);
}

TEST_F(ContainerTest, LocalColourTableIsUsedForItsImage) {
    // Same image with a 4-entry local table whose entries 1 and 2 have red 0x61 and 0x62.
    Bytes local = kExample;
    local[kFirstBlock + 9] = 0x81;
    Bytes table = hexBytes("00 00 00 61 00 00 62 00 00 00 00 00");
    local.insert(local.begin() + long(kFirstBlock + 10), table.begin(), table.end());
    Extraction run = extractInProcess(programFileWith(local));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(Bytes(run.raster.begin() + 1078, run.raster.end()), hexBytes("62 62 62 62 61 61 61 61"));
    EXPECT_EQ(run.raster[58 + 2], 0x61);
}

TEST_F(ContainerTest, EveryExitClosesBothFiles) {
    Bytes gif = kExample;
    gif[0] = 'G';
    Bytes cutImage(kExample.begin(), kExample.begin() + long(kFirstBlock + 5));
    Bytes noImage(kExample.begin(), kExample.begin() + long(kFirstBlock));
    noImage.push_back(';');
    Bytes badCode = exampleWith(kFirstBlock + 12, hexBytes("FF")); // a code beyond the table
    struct Case {
        const char* what;
        Bytes file;
    } cases[] = {{"not ums", programFileWith(gif)},      {"cut image descriptor", programFileWith(cutImage)},
                 {"no image", programFileWith(noImage)}, {"bad code", programFileWith(badCode)},
                 {"short file", Bytes{1, 2, 3}},         {"complete", programFileWith(kExample)}};
    for (const Case& c : cases) {
        int before = openFileCount();
        extractInProcess(c.file);
        EXPECT_EQ(openFileCount(), before) << c.what;
        EXPECT_TRUE(deletes("program.exe")) << c.what;
        EXPECT_TRUE(deletes(kRasterFileName)) << c.what;
        EXPECT_EQ(rasterFile, nullptr) << c.what;
    }
}

TEST_F(ContainerTest, FullDiskEndsWithAWriteDiagnostic) {
#ifndef __linux__
    GTEST_SKIP() << "/dev/full stands in for a full disk";
#endif
    // The example fails when the raster file is closed; a large image already in its rows.
    ContainerImage large;
    large.width = 2048;
    large.height = 1024;
    large.pixels.assign(size_t(large.width) * size_t(large.height), 7);
    for (const Bytes& container : {kExample, writeContainer({large})}) {
        for (bool byValues : {false, true}) {
            std::filesystem::create_symlink("/dev/full", kRasterFileName);
            useValueDecoder = byValues;
            Extraction run = extractInProcess(programFileWith(container));
            useValueDecoder = false;
            EXPECT_EQ(run.exitStatus, 5) << container.size() << " bytes, value decoder " << byValues;
            EXPECT_EQ(run.diagnostics, "error writing 5.msg: No space left on device\n")
                << container.size() << " bytes, value decoder " << byValues;
            std::filesystem::remove(kRasterFileName);
        }
    }
}

TEST(ContainerDeathTest, ExitStatusesAreReal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(fatalError("EOF / read error on data"), testing::ExitedWithCode(5),
                "EOF / read error on data");
}

} // namespace
