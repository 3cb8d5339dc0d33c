// The decoder: round trips through the encoder, both decoding paths alike, and bad data.
#include "test_support.h"

#include <random>

#include "container.h"
#include "container_writer.h"
#include "lzw.h"

namespace {

const Bytes kExample =
    hexBytes("75 6D 73 33 39 30 04 00 02 00 81 00 00 00 00 00 41 00 00 42 00 00 00 00 00"
             " 2C 00 00 00 00 04 00 02 00 00 08 0C 00 03 04 08 10 40 80 00 01 02 02 02 00 3B");
constexpr size_t kFlags = 34, kData = 36;

// 9-bit codes packed least significant bit first, in one sub-block and the zero-length one.
Bytes packCodes(std::initializer_list<int> codes) {
    Bytes bytes;
    uint32_t bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= uint32_t(code) << count;
        count += 9;
        while (count >= 8) {
            bytes.push_back(uint8_t(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) bytes.push_back(uint8_t(bits));
    bytes.insert(bytes.begin(), uint8_t(bytes.size()));
    bytes.push_back(0);
    return bytes;
}

// The example's header and image descriptor with another size, then the given image data.
Bytes exampleWithData(const Bytes& data, int width = 4, int height = 2) {
    Bytes c(kExample.begin(), kExample.begin() + long(kData));
    c[30] = uint8_t(width);
    c[32] = uint8_t(height);
    for (uint8_t b : data)
        c.push_back(b);
    c.push_back(';');
    return c;
}

// The raster pixel area the image should give with the identity palette.
Bytes expectedPixelArea(const ContainerImage& image) {
    size_t stride = rowStride(8, image.width);
    Bytes area(stride * size_t(image.height), 0);
    for (int r = 0; r < image.height; ++r)
        std::copy_n(image.pixels.begin() + long(r) * image.width, image.width,
                    area.begin() + long(size_t(image.height - 1 - r) * stride));
    return area;
}

ContainerImage randomImage(int width, int height, int alphabet, unsigned variant) {
    std::mt19937 random(variant);
    ContainerImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(size_t(width) * size_t(height));
    // Runs and repeats, so the table fills with long strings as well as short ones.
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = (i > 8 && random() % 3 == 0) ? image.pixels[i - 1 - random() % 8]
                                                       : uint8_t(random() % unsigned(alphabet));
    return image;
}

class DecoderTest : public ScratchDirTest {
  protected:
    void TearDown() override {
        useValueDecoder = false;
        ScratchDirTest::TearDown();
    }
    // Extracts with both decoding paths and checks they agree in every byte and diagnostic.
    Extraction extractBothWays(const Bytes& container) {
        useValueDecoder = true;
        Extraction byValues = extractInProcess(programFileWith(container));
        useValueDecoder = false;
        Extraction byStrings = extractInProcess(programFileWith(container));
        EXPECT_EQ(byStrings.exitStatus, byValues.exitStatus);
        EXPECT_EQ(byStrings.diagnostics, byValues.diagnostics);
        // After a fatal error the raster file is left behind unfinished by either path.
        if (byValues.exitStatus == -1) {
            EXPECT_TRUE(byStrings.raster == byValues.raster) << "raster files differ";
        }
        return byStrings;
    }
    void expectRoundTrip(const ContainerImage& image, const std::string& what) {
        Extraction run = extractBothWays(writeContainer({image}));
        EXPECT_EQ(run.exitStatus, -1) << what;
        EXPECT_EQ(run.diagnostics, "") << what;
        ASSERT_GE(run.raster.size(), 1078u) << what;
        EXPECT_TRUE(Bytes(run.raster.begin() + 1078, run.raster.end()) == expectedPixelArea(image)) << what;
    }
};

TEST_F(DecoderTest, InterlacedExampleGivesTheSameFile) {
    Bytes interlaced = kExample;
    interlaced[kFlags] = 0x40;
    EXPECT_EQ(extractBothWays(interlaced).raster, extractInProcess(programFileWith(kExample)).raster);
}

TEST_F(DecoderTest, LeadingClearCodesArePassedOver) {
    Extraction run =
        extractBothWays(exampleWithData(packCodes({256, 256, 256, 1, 1, 1, 1, 2, 2, 2, 2, 257})));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "");
    EXPECT_EQ(Bytes(run.raster.begin() + 1078, run.raster.end()), hexBytes("42 42 42 42 41 41 41 41"));
}

TEST_F(DecoderTest, RoundTripsOfShapesAndLayouts) {
    for (int width : {1, 3, 4, 5, 7, 13, 255}) {
        for (int height : {1, 2, 5, 9, 17}) {
            for (bool interlaced : {false, true}) {
                ContainerImage image = randomImage(width, height, 256, unsigned(width * 100 + height));
                image.interlaced = interlaced;
                expectRoundTrip(image, "width " + std::to_string(width) + " height " +
                                           std::to_string(height) + (interlaced ? " interlaced" : ""));
            }
        }
    }
}

TEST_F(DecoderTest, CodesAcrossShortSubBlocks) {
    for (int blockSize : {1, 2, 3, 254, 255}) {
        ContainerImage image = randomImage(64, 40, 256, unsigned(blockSize));
        image.lzw.subBlockSize = blockSize;
        expectRoundTrip(image, "sub-blocks of " + std::to_string(blockSize));
    }
}

TEST_F(DecoderTest, SmallCodeSizesAndPalettes) {
    for (int codeSize : {2, 3, 5, 7}) {
        ContainerImage image = randomImage(33, 20, 1 << codeSize, unsigned(codeSize));
        image.minimumCodeSize = codeSize;
        expectRoundTrip(image, "minimum code size " + std::to_string(codeSize));
    }
}

TEST_F(DecoderTest, TableFullToTheLastEntry) {
    // Enough varied data to fill the table many times over, once with clear codes and once
    // going on with a full 4096-entry table.
    for (bool clearWhenFull : {true, false}) {
        ContainerImage image = randomImage(400, 300, 256, 7);
        image.lzw.clearWhenFull = clearWhenFull;
        expectRoundTrip(image, clearWhenFull ? "clearing" : "full table kept");
    }
}

TEST_F(DecoderTest, ImagesLargerThanTheDecodersBuffers) {
    // Over a megabyte of output with clear codes, and far more image data than one read-ahead
    // window, plain and interlaced: rows are written out in pieces as the decoder goes.
    for (bool interlaced : {false, true}) {
        ContainerImage image = randomImage(1203, 1100, 256, 11);
        image.interlaced = interlaced;
        expectRoundTrip(image, interlaced ? "large interlaced" : "large");
    }
}

TEST_F(DecoderTest, LongRunsGiveLongestStrings) {
    ContainerImage image;
    image.width = 4096;
    image.height = 600;
    image.pixels.assign(size_t(image.width) * size_t(image.height), 0x5A);
    expectRoundTrip(image, "one value throughout");
}

TEST_F(DecoderTest, SeveralImagesOnlyTheFirstIsWritten) {
    ContainerImage first = randomImage(20, 10, 256, 1), second = randomImage(30, 30, 256, 2);
    Extraction run = extractBothWays(writeContainer({first, second}));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "");
    EXPECT_TRUE(Bytes(run.raster.begin() + 1078, run.raster.end()) == expectedPixelArea(first));
}

TEST_F(DecoderTest, TooMuchDataIsReported) {
    ContainerImage image = randomImage(8, 4, 256, 3);
    Bytes c = writeContainer({image});
    c[13 + 768 + 7] = 3; // the descriptor's height: 3 rows of the 4 encoded
    Extraction run = extractBothWays(c);
    EXPECT_EQ(run.exitStatus, -1);
    // The rest of the image data is not drained: the container reader meets its last bytes.
    EXPECT_EQ(run.diagnostics, "too much input data, ignoring extra...\nbogus character 0x00, ignoring\n");
    image.height = 3;
    image.pixels.resize(24);
    EXPECT_TRUE(Bytes(run.raster.begin() + 1078, run.raster.end()) == expectedPixelArea(image));
}

TEST_F(DecoderTest, DataEndingEarlyLeavesZeroRows) {
    ContainerImage image = randomImage(8, 4, 256, 4);
    Bytes c = writeContainer({image});
    c[13 + 768 + 7] = 6; // two rows more than the data gives
    Extraction run = extractBothWays(c);
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "");
    image.height = 6;
    image.pixels.resize(48, 0);
    EXPECT_TRUE(Bytes(run.raster.begin() + 1078, run.raster.end()) == expectedPixelArea(image));
}

TEST_F(DecoderTest, ZeroHeightImageWritesTheHeaderOnly) {
    ContainerImage image;
    image.width = 4;
    image.height = 0;
    Extraction run = extractBothWays(writeContainer({image}));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "");
    EXPECT_EQ(run.raster.size(), 1078u);
}

TEST_F(DecoderTest, BadCodesEndTheProcess) {
    struct Case {
        const char* what;
        Bytes container;
        const char* diagnostics;
    } cases[] = {
        {"code beyond the next free slot", exampleWithData(packCodes({256, 1, 259, 257})),
         "LZW data error: a code beyond the next free table slot\n"},
        {"first code not a literal", exampleWithData(packCodes({256, 258, 257})),
         "LZW data error: the first code after a clear code is not a literal\n"},
        {"first code after a later clear not a literal",
         exampleWithData(packCodes({256, 1, 1, 256, 300, 257})),
         "LZW data error: the first code after a clear code is not a literal\n"},
        // Seven pixels whose last code ends exactly with the data and no end code follows:
        // the check for more data after the last row finds no bit left.
        {"no end code", exampleWithData(packCodes({256, 1, 1, 1, 1, 1, 1, 1}), 7, 1),
         "ran off the end of my bits\n"},
    };
    for (const Case& c : cases) {
        Extraction run = extractBothWays(c.container);
        EXPECT_EQ(run.exitStatus, 5) << c.what;
        EXPECT_EQ(run.diagnostics, c.diagnostics) << c.what;
    }
}

TEST_F(DecoderTest, RepeatedClearCodesAndTheStringBeingDefined) {
    // 1, then 258 (the string being defined: 1 1), clear twice, then 2, 258 again (2 2), 2, end.
    Extraction run = extractBothWays(exampleWithData(packCodes({256, 1, 258, 1, 256, 256, 2, 258, 2, 257})));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "");
    EXPECT_EQ(Bytes(run.raster.begin() + 1078, run.raster.end()), hexBytes("42 42 42 42 41 41 41 41"));
}

TEST_F(DecoderTest, DataEndingInsideACode) {
    // Two pixels, then 5 bits of a third code: the data ends there and the rows stay zero.
    Bytes data = packCodes({256, 1, 1, 1});
    data[0] = 4; // drop the last data byte, which held the third code's top bits
    data.erase(data.end() - 2);
    Extraction run = extractBothWays(exampleWithData(data));
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "");
    EXPECT_EQ(Bytes(run.raster.begin() + 1078, run.raster.end()), Bytes(8, 0));
}

TEST_F(DecoderTest, EndCodeBeforeTheZeroLengthBlockDrainsTheData) {
    // The example with one extra data sub-block after the codes: drained silently.
    Bytes c = kExample;
    Bytes extra = hexBytes("02 AA BB");
    c.insert(c.begin() + long(kData + 13), extra.begin(), extra.end());
    Extraction run = extractBothWays(c);
    EXPECT_EQ(run.exitStatus, -1);
    EXPECT_EQ(run.diagnostics, "");
    EXPECT_EQ(Bytes(run.raster.begin() + 1078, run.raster.end()), hexBytes("42 42 42 42 41 41 41 41"));
}

} // namespace
