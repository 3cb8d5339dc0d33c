// Fuzz target for the publisher's reader of the catalogue source form. The input is the five
// CSV files one after another, separated by NUL bytes (catalogue, companies, tree, listings,
// products). Whatever the reader accepts must fit the stream's fields, refer only to records
// that exist, keep each node's listings and each company's products together, and come back
// the same through the CSV that kovanta-dump writes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue_source.h"
#include "stream_writer.h"

namespace fs = std::filesystem;

namespace {

const char* const kFiles[5] = {"catalogue.csv", "companies.csv", "tree.csv", "listings.csv", "products.csv"};

// The scratch folder, kept as plain characters so the exit handler can still use it.
char scratchPath[64];

fs::path scratchFolder() {
    if (!scratchPath[0]) {
        std::snprintf(scratchPath, sizeof scratchPath, "%s", "/tmp/kovanta-fuzz-source-XXXXXX");
        if (!mkdtemp(scratchPath)) std::abort();
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(scratchPath, ignored);
        });
    }
    return scratchPath;
}

[[noreturn]] void fault(const char* what) {
    std::fprintf(stderr, "fuzz_catalogue_source: %s\n", what);
    std::abort();
}

void checkCatalogue(const Catalogue& c) {
    if (c.companies.size() > kMaxCompanies) fault("more companies than a catalogue holds");
    for (size_t i = 0; i < c.treeNodes.size(); ++i) {
        const TreeNodeSource& n = c.treeNodes[i];
        if (n.parent >= int32_t(i) || n.parent < -1) fault("a tree node before its parent");
        if (n.category < 0 || size_t(n.category) >= c.categories.size()) fault("a node without its category");
    }
    auto isLeaf = [&](int32_t node) {
        return node >= 0 && size_t(node) < c.treeNodes.size() &&
               !c.categories[size_t(c.treeNodes[size_t(node)].category)].isGroup;
    };
    for (size_t i = 0; i < c.links.size(); ++i) {
        if (!isLeaf(c.links[i].node) || c.links[i].company < 0 ||
            size_t(c.links[i].company) >= c.companies.size())
            fault("a listing that refers outside the catalogue");
        if (i > 0 && c.links[i].node < c.links[i - 1].node) fault("a node's listings are not together");
    }
    for (size_t i = 0; i < c.products.size(); ++i) {
        if (!isLeaf(c.products[i].node) || c.products[i].company < 0 ||
            size_t(c.products[i].company) >= c.companies.size())
            fault("a product that refers outside the catalogue");
        if (i > 0 && c.products[i].company < c.products[i - 1].company)
            fault("a company's products are not together");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fs::path in = scratchFolder() / "in", back = scratchFolder() / "back";
    fs::create_directories(in);
    size_t start = 0;
    for (int file = 0; file < 5; ++file) {
        size_t end = start;
        while (end < size && data[end] != 0)
            ++end;
        std::ofstream out(in / kFiles[file], std::ios::binary | std::ios::trunc);
        if (start < size)
            out.write(reinterpret_cast<const char*>(data + start), std::streamsize(end - start));
        start = end < size ? end + 1 : size;
    }

    CatalogueSource source;
    SourceReport report;
    if (!readCatalogueSource(in, source, report)) return 0;
    checkCatalogue(source.catalogue);
    std::vector<uint8_t> stream;
    std::vector<FieldError> errors;
    if (!writeDatabaseStream(source.catalogue, stream, errors))
        fault("an accepted catalogue does not fit its fields");

    std::string error;
    if (!writeCatalogueSource(back, source, error)) fault("the catalogue cannot be written back");
    CatalogueSource again;
    SourceReport againReport;
    if (!readCatalogueSource(back, again, againReport)) fault("the written-back catalogue is refused");
    std::vector<uint8_t> againStream;
    if (!writeDatabaseStream(again.catalogue, againStream, errors) || againStream != stream ||
        again.updateHost != source.updateHost)
        fault("the written-back catalogue gives another stream");
    return 0;
}
