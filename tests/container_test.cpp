// The container framing: trailer, header checks, blocks, extensions, diagnostics and exits.
#include "test_support.h"

#include <cstring>

#include "container.h"
#include "container_writer.h"
#include "diagnostics.h"
#include "lzw.h"
#include "program_image.h"

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

// A minimal PE image: DOS header, "PE\0\0" at 0x80, file header, optional header (PE32 or
// PE32+) with 16 data directories, all empty.
Bytes peImage(bool plus) {
    Bytes image(0x200, 0);
    image[0] = 'M', image[1] = 'Z', image[0x3C] = 0x80;
    std::memcpy(image.data() + 0x80, "PE\0\0", 4);
    size_t optional = 0x80 + 24, directories = plus ? 112 : 96;
    image[0x80 + 20] = uint8_t(directories + 16 * 8);
    image[optional] = 0x0B, image[optional + 1] = plus ? 0x02 : 0x01;
    image[optional + directories - 4] = 16;
    return image;
}

// Signs file as Authenticode does: zero bytes up to a multiple of 8, the certificate table
// behind them, and its offset and size in the security directory.
Bytes signedFile(Bytes file, bool plus) {
    while (file.size() % 8 != 0)
        file.push_back(0);
    size_t entry = 0x80 + 24 + (plus ? 112 : 96) + 4 * 8;
    uint32_t offset = uint32_t(file.size()), size = 24;
    for (int i = 0; i < 4; ++i) {
        file[entry + size_t(i)] = uint8_t(offset >> (8 * i));
        file[entry + 4 + size_t(i)] = uint8_t(size >> (8 * i));
    }
    file.insert(file.end(), size, 0x30);
    return file;
}

TEST_F(ContainerTest, SignedProgramFilesFindTheirTrailerBeforeTheCertificateTable) {
    Bytes reference = extractInProcess(programFileWith(kExample)).raster;
    for (bool plus : {false, true}) {
        // Packed files of every length modulo 8, so that signing pads each differently.
        for (size_t extra = 0; extra < 8; ++extra) {
            Bytes packed = peImage(plus);
            packed.insert(packed.end(), kExample.begin(), kExample.end());
            packed.insert(packed.end(), extra, 0);
            for (int i = 0; i < 4; ++i)
                packed.push_back(uint8_t(0x200 >> (8 * i)));
            Bytes file = signedFile(packed, plus);
            std::optional<CertificateTable> table =
                findCertificateTable(file.data(), file.size(), file.size());
            ASSERT_TRUE(table) << plus << " " << extra;
            EXPECT_EQ(table->offset + table->size, file.size());
            Extraction run = extractInProcess(file);
            EXPECT_EQ(run.exitStatus, -1) << run.diagnostics;
            EXPECT_EQ(run.raster, reference) << plus << " " << extra;
        }
    }
    // Not a PE image, no security directory, a table beyond the end: the file's end counts.
    Bytes plain = programFileWith(kExample);
    EXPECT_FALSE(findCertificateTable(plain.data(), plain.size(), plain.size()));
    Bytes unsigned_ = peImage(false);
    EXPECT_FALSE(findCertificateTable(unsigned_.data(), unsigned_.size(), unsigned_.size()));
    Bytes beyond = signedFile(peImage(true), true);
    EXPECT_FALSE(findCertificateTable(beyond.data(), beyond.size(), beyond.size() - 1));
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

TEST_F(ContainerTest, EveryExitClosesTheProgramFileAndWritesNothingBesideIt) {
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
    // A user's own file under the name the raster file once had stays as it is.
    const Bytes mail = {'m', 'a', 'i', 'l'};
    writeWholeFile("5.msg", mail);
    for (const Case& c : cases) {
        int before = openFileCount();
        extractInProcess(c.file);
        EXPECT_EQ(openFileCount(), before) << c.what;
        EXPECT_TRUE(deletes("program.exe")) << c.what;
        EXPECT_EQ(readWholeFile("5.msg"), mail) << c.what;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1) << c.what;
    }
}

TEST(ContainerDeathTest, ExitStatusesAreReal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(fatalError("EOF / read error on data"), testing::ExitedWithCode(5),
                "EOF / read error on data");
}

} // namespace
