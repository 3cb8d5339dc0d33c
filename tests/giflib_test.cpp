// The decoder checked against an independent implementation of the same LZW: giflib 5. The
// same image data, with the signature "GIF89a" for giflib and "ums390" for the container
// reader, must give the same pixels; both ways round, our encoder's data and giflib's.
#include "test_support.h"

#include <gif_lib.h>

#include <cstring>
#include <random>

#include "container.h"
#include "container_writer.h"

namespace {

struct Image {
    int width = 0, height = 0;
    Bytes pixels; // rows top to bottom
};

// Runs and repeats over an alphabet, so the code table fills with long strings as well as short.
Image varied(int width, int height, int alphabet, unsigned start) {
    std::mt19937 random(start);
    Image image{width, height, Bytes(size_t(width) * size_t(height))};
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = (i > 8 && random() % 3 == 0) ? image.pixels[i - 1 - random() % 8]
                                                       : uint8_t(random() % unsigned(alphabet));
    return image;
}

int readFromMemory(GifFileType* gif, GifByteType* to, int length) {
    auto* in = static_cast<std::pair<const Bytes*, size_t>*>(gif->UserData);
    size_t n = std::min(size_t(length), in->first->size() - in->second);
    std::memcpy(to, in->first->data() + in->second, n);
    in->second += n;
    return int(n);
}

int writeToMemory(GifFileType* gif, const GifByteType* from, int length) {
    static_cast<Bytes*>(gif->UserData)
        ->insert(static_cast<Bytes*>(gif->UserData)->end(), from, from + length);
    return length;
}

// giflib's pixels of the first image of a GIF file, or an empty image with the reason.
Image decodeWithGiflib(const Bytes& gifFile, std::string& error) {
    std::pair<const Bytes*, size_t> in{&gifFile, 0};
    int code = 0;
    GifFileType* gif = DGifOpen(&in, readFromMemory, &code);
    if (!gif) {
        error = GifErrorString(code);
        return {};
    }
    Image image;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
        const SavedImage& saved = gif->SavedImages[0];
        image.width = saved.ImageDesc.Width;
        image.height = saved.ImageDesc.Height;
        image.pixels.assign(saved.RasterBits, saved.RasterBits + size_t(image.width) * size_t(image.height));
    } else {
        error = GifErrorString(gif->Error);
    }
    DGifCloseFile(gif, &code);
    return image;
}

// giflib's encoding of the image with a colour map of 1 << bits grey entries (entry v has red
// v), as a GIF file.
Bytes encodeWithGiflib(const Image& image, int bits) {
    Bytes out;
    int code = 0;
    GifFileType* gif = EGifOpen(&out, writeToMemory, &code);
    if (!gif) return {};
    GifColorType colours[256];
    for (int v = 0; v < 256; ++v)
        colours[v] = {GifByteType(v), GifByteType(v), GifByteType(v)};
    ColorMapObject* map = GifMakeMapObject(1 << bits, colours);
    bool ok = EGifPutScreenDesc(gif, image.width, image.height, bits, 0, map) != GIF_ERROR &&
              EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) != GIF_ERROR;
    Bytes row(size_t(image.width));
    for (int r = 0; ok && r < image.height; ++r) {
        std::memcpy(row.data(), image.pixels.data() + size_t(r) * size_t(image.width), row.size());
        ok = EGifPutLine(gif, row.data(), image.width) != GIF_ERROR;
    }
    if (EGifCloseFile(gif, &code) == GIF_ERROR) ok = false;
    GifFreeMapObject(map);
    return ok ? out : Bytes{};
}

uint32_t readU32(const Bytes& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

// The pixels our container reader and decoder give, from the raster file's bottom-up rows
// (each pixel byte is its colour entry's red, here the value itself).
Image decodeWithOurs(const Bytes& container, std::string& diagnostics) {
    Extraction run = extractInProcess(programFileWith(container));
    diagnostics = run.diagnostics;
    Image image;
    if (run.exitStatus != -1 || run.raster.size() < 1078) return image;
    image.width = int(readU32(run.raster, 18));
    image.height = int(readU32(run.raster, 22));
    size_t stride = rowStride(8, image.width);
    for (int r = image.height - 1; r >= 0; --r) {
        auto row = run.raster.begin() + long(1078 + size_t(r) * stride);
        image.pixels.insert(image.pixels.end(), row, row + image.width);
    }
    return image;
}

using GiflibTest = ScratchDirTest;

TEST_F(GiflibTest, GiflibDecodesOurDataAsWeDo) {
    struct Case {
        int width, height, codeSize, subBlock;
        bool clearWhenFull;
    } cases[] = {
        {33, 20, 2, 255, true},    {64, 40, 3, 1, true},       {97, 31, 5, 7, true},
        {128, 64, 7, 254, true},   {400, 300, 8, 255, true},   {400, 300, 8, 255, false},
        {1024, 700, 4, 255, true}, {1024, 700, 4, 100, false}, {4096, 3, 8, 255, true},
    };
    for (const Case& c : cases) {
        std::string what = std::to_string(c.width) + "x" + std::to_string(c.height) + " code size " +
                           std::to_string(c.codeSize) + (c.clearWhenFull ? "" : ", full table kept");
        Image source = varied(c.width, c.height, 1 << c.codeSize, unsigned(c.width + c.codeSize));
        ContainerImage image;
        image.width = c.width;
        image.height = c.height;
        image.pixels = source.pixels;
        image.minimumCodeSize = c.codeSize;
        image.lzw.subBlockSize = c.subBlock;
        image.lzw.clearWhenFull = c.clearWhenFull;
        Bytes container = writeContainer({image});
        Bytes gifFile = container;
        std::memcpy(gifFile.data(), "GIF89a", 6);

        std::string error, diagnostics;
        Image theirs = decodeWithGiflib(gifFile, error);
        Image ours = decodeWithOurs(container, diagnostics);
        EXPECT_EQ(error, "") << what;
        EXPECT_EQ(diagnostics, "") << what;
        EXPECT_TRUE(theirs.pixels == source.pixels) << "giflib, " << what;
        EXPECT_TRUE(ours.pixels == theirs.pixels) << "ours and giflib differ, " << what;
    }
}

TEST_F(GiflibTest, WeDecodeGiflibsDataAsGiflibDoes) {
    struct Case {
        int width, height, bits;
    } cases[] = {{31, 17, 1}, {64, 64, 2}, {200, 150, 4}, {640, 480, 8}, {1500, 900, 8}, {5000, 2, 8}};
    for (const Case& c : cases) {
        std::string what = std::to_string(c.width) + "x" + std::to_string(c.height) + ", " +
                           std::to_string(c.bits) + "-bit colour map";
        Image source = varied(c.width, c.height, 1 << c.bits, unsigned(c.width * c.bits));
        Bytes gifFile = encodeWithGiflib(source, c.bits);
        ASSERT_FALSE(gifFile.empty()) << what;
        std::string error, diagnostics;
        Image theirs = decodeWithGiflib(gifFile, error);
        Bytes container = gifFile;
        std::memcpy(container.data(), "ums390", 6);
        Image ours = decodeWithOurs(container, diagnostics);
        EXPECT_EQ(diagnostics, "") << what;
        EXPECT_EQ(ours.width, c.width) << what;
        EXPECT_TRUE(theirs.pixels == source.pixels) << "giflib, " << what;
        EXPECT_TRUE(ours.pixels == source.pixels) << "ours, " << what;
    }
}

} // namespace
