// kovanta-gen: writes the large generated catalogue's database stream to a file.
//   kovanta-gen --stream OUT   the raw stream, as writeDatabaseStream gives it
//   kovanta-gen --texts OUT    every text of the catalogue, one a line (GBK), for inspection
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue_generator.h"
#include "command_line.h"
#include "stream_writer.h"
#include "tool_files.h"

namespace {

std::string allTexts(const Catalogue& c) {
    std::string out;
    auto line = [&](const std::string& s) {
        out += s;
        out += '\n';
    };
    for (const std::string* s : {&c.dataName, &c.titlePart1, &c.titlePart2, &c.updateDate})
        line(*s);
    for (const CompanySource& k : c.companies) {
        for (const CompanyText& t : kCompanyTexts)
            line(k.*t.member);
        line(k.introduction);
    }
    for (const CategorySource& k : c.categories)
        line(k.name);
    for (const LinkSource& l : c.links) {
        line(l.linkText);
        line(l.expiry);
    }
    for (const ProductSource& p : c.products)
        for (const std::string* s : {&p.model, &p.configuration, &p.unit, &p.origin, &p.remarks, &p.expiry})
            line(*s);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    useUtf8Arguments(argc, argv);
    if (argc != 3 || (std::strcmp(argv[1], "--stream") != 0 && std::strcmp(argv[1], "--texts") != 0)) {
        std::fprintf(stderr, "usage: kovanta-gen --stream OUT | --texts OUT\n");
        return 2;
    }
    Catalogue catalogue = generateLargeCatalogue();
    if (std::strcmp(argv[1], "--texts") == 0) {
        std::string texts = allTexts(catalogue);
        std::string error;
        if (!writeFileReplacing(argv[2], texts.data(), texts.size(), error)) {
            std::fprintf(stderr, "kovanta-gen: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    std::vector<uint8_t> stream;
    std::vector<FieldError> errors;
    if (!writeDatabaseStream(catalogue, stream, errors)) {
        for (const FieldError& e : errors)
            std::fprintf(stderr, "%s %zu %s: %zu bytes, limit %zu\n", e.section.c_str(), e.index,
                         e.field.c_str(), e.length, e.limit);
        return 1;
    }
    std::string error;
    if (!writeFileReplacing(argv[2], stream, error)) {
        std::fprintf(stderr, "kovanta-gen: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %zu bytes (%zu companies, %zu categories, %zu nodes, %zu links, %zu products)\n",
                argv[2], stream.size(), catalogue.companies.size(), catalogue.categories.size(),
                catalogue.treeNodes.size(), catalogue.links.size(), catalogue.products.size());
    return 0;
}
