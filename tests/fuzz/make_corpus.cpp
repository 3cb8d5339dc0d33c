// Writes the starting corpora of the fuzz targets with the writing side:
//   make_corpus <container corpus dir> <loader corpus dir>
// Containers (without program image or trailer, which fuzz_container adds): odd widths,
// interlacing, several images, short sub-blocks, local colour tables, minimum code sizes 2..8,
// extensions, and containers wrapping database streams. Database streams: small catalogues.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue.h"
#include "container_writer.h"
#include "lzw_encoder.h"
#include "stream_writer.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

int written = 0;

void save(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::path path = dir / name;
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        std::exit(1);
    }
    ++written;
}

// A small deterministic generator (xorshift), so the corpus is the same on every build.
struct Random {
    uint32_t state = 0x9E3779B9u;
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

enum class Pattern { Gradient, Noise, Runs, Stripes, Bands };

ContainerImage makeImage(int width, int height, int minimumCodeSize, Pattern pattern, uint32_t mix = 1) {
    ContainerImage image;
    image.width = width;
    image.height = height;
    image.minimumCodeSize = minimumCodeSize;
    int values = 1 << minimumCodeSize;
    if (values > 256) values = 256;
    Random random;
    random.state ^= mix * 0x85EBCA6Bu;
    image.pixels.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int v = 0;
            switch (pattern) {
            case Pattern::Gradient: v = x + 3 * y; break;
            case Pattern::Noise: v = int(random.next() >> 8); break;
            case Pattern::Runs: v = (x / 5 + y / 3) * 7; break;
            case Pattern::Stripes: v = y; break;
            case Pattern::Bands: v = (y / 5) % 2 ? 200 : 3; break;
            }
            image.pixels[size_t(y) * size_t(width) + size_t(x)] = uint8_t(v % values);
        }
    return image;
}

Palette reversedPalette() {
    Palette p;
    for (int v = 0; v < 256; ++v)
        p[size_t(v)] = {uint8_t(255 - v), uint8_t(v), uint8_t(v ^ 0x5A)};
    return p;
}

// Inserts blocks right after the header and the global colour table.
Bytes withBlocksAfterHeader(Bytes container, const Bytes& blocks) {
    size_t at = 13;
    if (container[10] & 0x80) at += 3 * (size_t(2) << (container[10] & 7));
    container.insert(container.begin() + long(at), blocks.begin(), blocks.end());
    return container;
}

Bytes streamOf(const Catalogue& catalogue) {
    Bytes stream;
    std::vector<FieldError> errors;
    if (!writeDatabaseStream(catalogue, stream, errors)) {
        std::fprintf(stderr, "a corpus catalogue does not fit: %s.%s\n", errors[0].section.c_str(),
                     errors[0].field.c_str());
        std::exit(1);
    }
    return stream;
}

CompanySource company(const std::string& name, const std::string& introduction) {
    CompanySource c;
    c.name = name;
    c.phone = "010-12345678";
    c.fax = "010-87654321";
    c.contact = "Li";
    c.address = "1 Road";
    c.postcode = "100000";
    c.website = "www.example.cn";
    c.email = "a@example.cn";
    c.bank = "Bank";
    c.account = "6222";
    c.taxNumber = "1101";
    c.busRoutes = "7, 13";
    c.introduction = introduction;
    return c;
}

std::vector<Catalogue> catalogues() {
    std::vector<Catalogue> out;
    out.push_back(Catalogue{}); // every section empty

    Catalogue small;
    small.dataName = "t";
    small.titlePart1 = "A";
    small.titlePart2 = "B";
    small.updateDate = "260101";
    small.companies.push_back(company("C", "hi"));
    small.categories = {{"P", true}, {"Q", false}};
    small.treeNodes = {{-1, 0}, {0, 1}};
    small.links = {{1, 0, "L", "991231"}};
    small.products = {{0, 1, "M", "", 12.5f, "pc", "CN", "", "000101"}};
    out.push_back(small);

    // Full-length fields, GBK double-byte texts, expired and current entries.
    Catalogue full;
    full.dataName = std::string(fieldLimit::dataName, 'D');
    full.titlePart1 = "\xC9\xCF\xBA\xA3"; // two double-byte characters
    full.titlePart2 = std::string(fieldLimit::titlePart, 'T');
    full.updateDate = "2026-06-01";
    for (int i = 0; i < 3; ++i) {
        CompanySource c =
            company(std::string(fieldLimit::name - size_t(i), char('a' + i)), std::string(300, 'x'));
        c.postcode = "\xB1\xB1\xBE\xA9";
        c.busRoutes = std::string(fieldLimit::busRoutes, '9');
        full.companies.push_back(c);
    }
    full.companies.push_back(company("", ""));
    for (int i = 0; i < 5; ++i)
        full.categories.push_back({std::string(size_t(i) * 6 + 1, char('K' + i)), i % 2 == 0});
    for (int i = 0; i < 6; ++i)
        full.treeNodes.push_back({i == 0 ? -1 : (i - 1) / 2, i % 5});
    const char* expiries[] = {"260614", "260615", "260616", "991231", "000000", "abcdef", ""};
    for (int i = 0; i < 7; ++i)
        full.links.push_back({i % 6, i % 4, std::string(size_t(i) * 3, 'l'), expiries[i]});
    for (int i = 0; i < 7; ++i)
        full.products.push_back({i % 4, i % 6, std::string(fieldLimit::model, 'm'),
                                 std::string(size_t(i) * 14 + 3, 'c'), float(i) * 3.25f - 1.0f, "\xCC\xA8",
                                 std::string(fieldLimit::origin, 'o'), std::string(fieldLimit::remarks, 'r'),
                                 expiries[6 - i]});
    out.push_back(full);
    return out;
}

void makeContainerCorpus(const fs::path& dir) {
    int n = 0;
    auto put = [&](const std::string& what, const Bytes& container) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "c%02d-", n++);
        save(dir, prefix + what, container);
    };

    // Odd widths, one image each.
    const int widths[] = {1, 2, 3, 5, 7, 13, 17, 33, 101};
    for (int i = 0; i < 9; ++i) {
        int w = widths[i];
        put("width" + std::to_string(w),
            writeContainer({makeImage(w, 1 + i % 5, 8, Pattern(i % 4), uint32_t(i))}));
    }
    // Minimum code sizes 2..8.
    for (int bits = 2; bits <= 8; ++bits)
        put("codesize" + std::to_string(bits),
            writeContainer({makeImage(11, 6, bits, Pattern(bits % 4), uint32_t(bits))}));
    // Interlaced, heights around the pass boundaries.
    for (int h : {1, 2, 5, 9, 17}) {
        ContainerImage image = makeImage(7, h, 8, Pattern::Stripes);
        image.interlaced = true;
        put("interlaced" + std::to_string(h), writeContainer({image}));
    }
    // Short sub-blocks, so codes span several of them.
    for (int sub : {1, 2, 3}) {
        ContainerImage image = makeImage(9, 7, 5, Pattern::Noise, uint32_t(sub));
        image.lzw.subBlockSize = sub;
        put("subblock" + std::to_string(sub), writeContainer({image}));
    }
    // Local colour tables, with and without a global one.
    {
        ContainerImage image = makeImage(6, 5, 8, Pattern::Gradient);
        image.localTable = reversedPalette();
        put("localtable", writeContainer({image}));
        ContainerOptions noGlobal;
        noGlobal.globalTable = false;
        put("localtable-noglobal", writeContainer({image}, noGlobal));
        put("noglobal", writeContainer({makeImage(5, 3, 4, Pattern::Runs)}, noGlobal));
    }
    // Several images: the first is decoded, the others are passed over.
    {
        ContainerImage second = makeImage(13, 4, 3, Pattern::Noise, 7);
        second.lzw.subBlockSize = 2;
        ContainerImage third = makeImage(3, 9, 8, Pattern::Gradient);
        third.interlaced = true;
        third.localTable = reversedPalette();
        put("three-images", writeContainer({makeImage(5, 5, 8, Pattern::Runs), second, third}));
        ContainerImage first = makeImage(10, 3, 2, Pattern::Stripes);
        first.interlaced = true;
        first.lzw.subBlockSize = 1;
        put("two-images", writeContainer({first, makeImage(1, 1, 8, Pattern::Gradient)}));
    }
    // A full code table: cleared when full, and kept full without a clear code.
    {
        ContainerImage noisy = makeImage(123, 45, 8, Pattern::Noise, 99);
        put("table-cleared", writeContainer({noisy}));
        noisy.lzw.clearWhenFull = false;
        put("table-kept-full", writeContainer({noisy}));
    }
    // An empty image, the other version, and extensions before the image.
    put("empty-image", writeContainer({makeImage(0, 0, 8, Pattern::Gradient)}));
    {
        ContainerOptions v622;
        v622.version = "622";
        put("version622", writeContainer({makeImage(3, 3, 8, Pattern::Gradient)}, v622));
        Bytes extensions = {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, // graphic control
                            0x21, 0xFE, 0x03, 'a',  'b',  'c',  0x00,       // comment
                            0x21, 0xFF, 0x0B, 'N',  'E',  'T',  'S',  'C',  'A',  'P',
                            'E',  '2',  '.',  '0',  0x03, 0x01, 0x00, 0x00, 0x00, // application
                            0x21, 0x01, 0x02, 'p',  't',  0x00,                   // plain text
                            0x21, 0x42, 0x00,                                     // unknown label
                            0x21, 0xF9, 0x00,                                     // empty graphic control
                            0x21, 0xFF, 0x00,                                     // empty application
                            '?'};                                                 // a bogus byte
        put("extensions",
            withBlocksAfterHeader(writeContainer({makeImage(5, 4, 8, Pattern::Runs)}), extensions));
    }
    // Larger images: more output between clear codes than the fuzz build's buffers hold (the
    // fast decoder moves finished rows out of its buffer), odd widths so that a row straddles
    // that move, more data than its window (the fast decoder reads the data in windows), and
    // a raster of many pieces.
    {
        ContainerImage bands = makeImage(201, 101, 8, Pattern::Bands);
        put("large-bands", writeContainer({bands}));
        bands.interlaced = true;
        put("large-bands-interlaced", writeContainer({bands}));
        ContainerImage noise = makeImage(101, 100, 8, Pattern::Noise, 5);
        noise.lzw.subBlockSize = 200;
        put("large-noise", writeContainer({noise}));
    }
    // Containers that wrap database streams, as the publisher builds them.
    std::vector<Catalogue> all = catalogues();
    for (size_t i = 0; i < all.size(); ++i)
        put("database" + std::to_string(i), writeContainer({imageForStream(streamOf(all[i]))}));
}

void makeLoaderCorpus(const fs::path& dir) {
    int n = 0;
    auto put = [&](const std::string& what, const Bytes& stream) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "s%02d-", n++);
        save(dir, prefix + what, stream);
    };
    std::vector<Catalogue> all = catalogues();
    for (size_t i = 0; i < all.size(); ++i)
        put("catalogue" + std::to_string(i), streamOf(all[i]));
    Bytes full = streamOf(all.back());
    // Cut streams, and one whose texts claim more than their fields hold.
    put("cut-half", Bytes(full.begin(), full.begin() + long(full.size() / 2)));
    put("cut-header", Bytes(full.begin(), full.begin() + 5));
    Bytes longTexts = {127};
    longTexts.insert(longTexts.end(), 127, 0xB0); // lead bytes all the way
    longTexts.push_back(0x80);                    // a negative length: empty text
    longTexts.push_back(0x00);
    longTexts.push_back(0x7F);
    longTexts.insert(longTexts.end(), 127, 'z');
    put("long-texts", longTexts);
    // Counts far beyond what the stream holds.
    Bytes huge = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0x01, 'n'};
    put("huge-count", huge);
}

} // namespace

// The catalogue source form, its five files separated by NUL bytes: the sample catalogue cut
// down to a few rows of each file, and a few small hand-made ones.
void makeSourceCorpus(const fs::path& dir, const fs::path& sample) {
    const char* files[5] = {"catalogue.csv", "companies.csv", "tree.csv", "listings.csv", "products.csv"};
    for (size_t rows : {3, 12, 40}) {
        std::string joined;
        for (int f = 0; f < 5; ++f) {
            std::ifstream in(sample / files[f], std::ios::binary);
            std::string line, text;
            for (size_t n = 0; n <= rows && std::getline(in, line); ++n)
                text += line + "\n";
            if (f > 0) joined += '\0';
            joined += text;
        }
        save(dir, "sample-" + std::to_string(rows), std::vector<uint8_t>(joined.begin(), joined.end()));
    }
    std::string small =
        std::string("dataName,titlePart1,titlePart2,updateDate,updateHost\nd,a,b,2026-12-01,h\n") + '\0' +
        "key,name,phone,fax,contact,address,postcode,website,email,bank,account,taxNumber,busRoutes,"
        "introduction\nK,\"n, q\"\"\",,,,,,,,,,,,\"two\nlines\"\n" +
        '\0' + "path,holds\nP,categories\nP/B,companies\n" + '\0' +
        "company,node,linkText,expires\nK,P/B,x,2030-12-31\n" + '\0' +
        "company,node,model,configuration,price,unit,origin,remarks,expires\nK,P/B,m,c,12.5,u,o,r,\n";
    save(dir, "small", std::vector<uint8_t>(small.begin(), small.end()));
}

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(
            stderr,
            "usage: %s <container corpus dir> <loader corpus dir> <source corpus dir> <sample folder>\n",
            argv[0]);
        return 2;
    }
    fs::path containerDir = argv[1], loaderDir = argv[2], sourceDir = argv[3];
    fs::create_directories(containerDir);
    fs::create_directories(loaderDir);
    fs::create_directories(sourceDir);
    makeContainerCorpus(containerDir);
    makeLoaderCorpus(loaderDir);
    makeSourceCorpus(sourceDir, argv[4]);
    std::printf("wrote %d corpus files\n", written);
    return 0;
}
