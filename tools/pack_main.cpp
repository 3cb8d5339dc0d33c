// kovanta-pack: builds the program file from the catalogue source, or writes a .up body.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "appender.h"
#include "catalogue_source.h"
#include "command_line.h"
#include "container_writer.h"
#include "program_file.h"
#include "stream_writer.h"
#include "textcodec.h"
#include "tool_files.h"
#include "update_body.h"

namespace {

const char kUsage[] =
    "usage: kovanta-pack SOURCE_DIR --program PROGRAM_IMAGE -o OUTPUT_FILE [--update-host HOST]\n"
    "       kovanta-pack up --date DATE --version VERSION --description TEXT -o FILE\n";

// The usage text, after the reason when there is one; exit status 2.
int usage(const std::string& reason = {}) {
    if (!reason.empty()) std::fprintf(stderr, "kovanta-pack: %s\n", reason.c_str());
    std::fputs(kUsage, stderr);
    return 2;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "kovanta-pack: %s\n", message.c_str());
    return 1;
}

// The options a command needs, or the reason they are not all there.
bool required(const CommandLine& line, std::initializer_list<const char*> names, std::string& error) {
    for (const char* name : names)
        if (!line.value(name)) {
            error = std::string("the option ") + name + " is missing";
            return false;
        }
    return true;
}

int writeUp(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!parseCommandLine(argc, argv, 2, {"--date", "--version", "--description", "-o"}, 0, line, error) ||
        !required(line, {"--date", "--version", "--description", "-o"}, error))
        return usage(error);
    const char* date = line.value("--date");
    const char* version = line.value("--version");
    const char* description = line.value("--description");
    const char* output = line.value("-o");
    std::string gbk[3], bad;
    const char* texts[3] = {date, version, description};
    for (int i = 0; i < 3; ++i)
        if (!utf8ToGbk(texts[i], gbk[i], bad))
            return fail("the character \"" + bad + "\" cannot be written in GBK");
    std::vector<uint8_t> body;
    if (!writeUpdateBody(gbk[0], gbk[1], gbk[2], body, error)) return fail(error);
    if (!writeFileReplacing(output, body, error)) return fail(error);
    return 0;
}

int pack(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!parseCommandLine(argc, argv, 1, {"--program", "-o", "--update-host"}, 1, line, error) ||
        !required(line, {"--program", "-o"}, error))
        return usage(error);
    if (line.positional.empty()) return usage("the source folder is missing");
    const char* source = line.positional[0].c_str();
    const char* programImage = line.value("--program");
    const char* output = line.value("-o");
    const char* host = line.value("--update-host");

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

    size_t errorCount = report.errors.size() + fieldErrors.size();
    std::vector<uint8_t> image;
    if (!readFileBytes(programImage, image)) {
        std::fprintf(stderr, "error: %s: the program image cannot be read\n", programImage);
        ok = false;
        ++errorCount;
    }
    image = stripContainer(image);
    if (isSignedImage(image)) {
        // Signing covers every byte before the certificate table: the catalogue appended to a
        // signed image would break the signature, and the program would not find its trailer.
        std::fprintf(stderr,
                     "error: %s: the program image is already signed; pack the unsigned program image and "
                     "sign the packed program file\n",
                     programImage);
        ok = false;
        ++errorCount;
    }
    std::string updateHost = host ? host : catalogue.updateHost;
    if (!updateHost.empty() && !image.empty() && !setHostInSlot(image, updateHost, error)) {
        std::fprintf(stderr, "error: --update-host: %s\n", error.c_str());
        ok = false;
        ++errorCount;
    }
    if (!ok) {
        std::fprintf(stderr, "kovanta-pack: nothing written; %zu error%s\n", errorCount,
                     errorCount == 1 ? "" : "s");
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
    if (!writeFileReplacing(output, file, error)) return fail(error + "; nothing written");
    std::printf("%s: %s, file %zu bytes\n", output, summary, file.size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    useUtf8Arguments(argc, argv);
    if (argc < 2) return usage();
    if (std::strcmp(argv[1], "up") == 0) return writeUp(argc, argv);
    return pack(argc, argv);
}
