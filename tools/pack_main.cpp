// kovanta-pack: builds the program file from the catalogue source, or writes a .up body.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "appender.h"
#include "catalogue_source.h"
#include "container_writer.h"
#include "program_file.h"
#include "stream_writer.h"
#include "textcodec.h"
#include "update_body.h"

namespace {

const char kUsage[] =
    "usage: kovanta-pack SOURCE_DIR --program PROGRAM_IMAGE -o OUTPUT_FILE [--update-host HOST]\n"
    "       kovanta-pack up --date DATE --version VERSION --description TEXT -o FILE\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "kovanta-pack: %s\n", message.c_str());
    return 1;
}

// The value after a flag, or null.
const char* option(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
    return nullptr;
}

int writeUp(int argc, char** argv) {
    const char* date = option(argc, argv, "--date");
    const char* version = option(argc, argv, "--version");
    const char* description = option(argc, argv, "--description");
    const char* output = option(argc, argv, "-o");
    if (!date || !version || !description || !output) return usage();
    std::string gbk[3], bad;
    const char* texts[3] = {date, version, description};
    for (int i = 0; i < 3; ++i)
        if (!utf8ToGbk(texts[i], gbk[i], bad))
            return fail("the character \"" + bad + "\" cannot be written in GBK");
    // The program reads the reply in lower case: capital letters arrive as small ones.
    for (int i = 0; i < 3; ++i)
        for (char ch : gbk[i])
            if (ch >= 'A' && ch <= 'Z') {
                std::fprintf(stderr, "kovanta-pack: warning: the program reads \"%s\" in lower case\n",
                             texts[i]);
                break;
            }
    // A length byte that is a capital letter's code is lower-cased too, and read 32 larger.
    for (int i = 0; i < 3; ++i)
        if (gbk[i].size() >= 'A' && gbk[i].size() <= 'Z')
            std::fprintf(stderr, "kovanta-pack: warning: the program reads the length %zu of \"%s\" as %zu\n",
                         gbk[i].size(), texts[i], gbk[i].size() + 32);
    std::vector<uint8_t> body;
    std::string error;
    if (!writeUpdateBody(gbk[0], gbk[1], gbk[2], body, error)) return fail(error);
    if (!writeBinaryFile(output, body)) return fail(std::string(output) + ": cannot be written");
    return 0;
}

int pack(int argc, char** argv) {
    const char* source = argv[1];
    const char* programImage = option(argc, argv, "--program");
    const char* output = option(argc, argv, "-o");
    const char* host = option(argc, argv, "--update-host");
    if (source[0] == '-' || !programImage || !output) return usage();

    CatalogueSource catalogue;
    SourceReport report;
    bool ok = readCatalogueSource(source, catalogue, report);
    for (const std::string& w : report.warnings)
        std::fprintf(stderr, "warning: %s\n", w.c_str());
    for (const std::string& e : report.errors)
        std::fprintf(stderr, "error: %s\n", e.c_str());

    std::vector<uint8_t> stream;
    std::vector<FieldError> fieldErrors;
    if (ok && !writeDatabaseStream(catalogue.catalogue, stream, fieldErrors)) {
        for (const FieldError& e : fieldErrors)
            std::fprintf(stderr, "error: %s %zu: %s: %zu bytes, at most %zu\n", e.section.c_str(), e.index,
                         e.field.c_str(), e.length, e.limit);
        ok = false;
    }

    std::vector<uint8_t> image;
    if (!readBinaryFile(programImage, image)) {
        std::fprintf(stderr, "error: %s: the program image cannot be read\n", programImage);
        ok = false;
    }
    image = stripContainer(image);
    std::string updateHost = host ? host : catalogue.updateHost;
    std::string error;
    if (!updateHost.empty() && !image.empty() && !setHostInSlot(image, updateHost, error)) {
        std::fprintf(stderr, "error: --update-host: %s\n", error.c_str());
        ok = false;
    }
    if (!ok) {
        std::fprintf(stderr, "kovanta-pack: nothing written; %zu error%s\n",
                     report.errors.size() + fieldErrors.size(),
                     report.errors.size() + fieldErrors.size() == 1 ? "" : "s");
        return 1;
    }

    // Each step's input is let go once the next has what it needs: large catalogues are big.
    const Catalogue& c = catalogue.catalogue;
    char summary[256];
    std::snprintf(
        summary, sizeof summary,
        "%zu companies, %zu categories, %zu tree nodes, %zu listings, %zu products; stream %zu bytes",
        c.companies.size(), c.categories.size(), c.treeNodes.size(), c.links.size(), c.products.size(),
        stream.size());
    catalogue = CatalogueSource{};
    std::vector<ContainerImage> images;
    images.push_back(imageForStream(stream));
    std::vector<uint8_t>().swap(stream);
    std::vector<uint8_t> container = writeContainer(images);
    images.clear();
    std::vector<uint8_t> file = appendContainer(image, container);
    if (!writeBinaryFile(output, file)) return fail(std::string(output) + ": cannot be written");
    std::printf("%s: %s, file %zu bytes\n", output, summary, file.size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    if (std::strcmp(argv[1], "up") == 0) return writeUp(argc, argv);
    return pack(argc, argv);
}
