// kovanta-dump: runs the program's start-up data path on a program file and prints the loaded
// database as JSON, or writes the catalogue back in its source form.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "appender.h"
#include "catalogue_source.h"
#include "command_line.h"
#include "container.h"
#include "database.h"
#include "dump_json.h"
#include "filetime.h"
#include "platform.h"
#include "program_file.h"
#include "tool_files.h"

namespace {

const char kUsage[] = "usage: kovanta-dump PROGRAM_FILE [--now YYYY-MM-DDTHH:MM] [--csv DIR]\n";

LocalTime fixedNow;
void fixedLocalTime(LocalTime* now) {
    *now = fixedNow;
}

int usage(const std::string& reason) {
    std::fprintf(stderr, "kovanta-dump: %s\n", reason.c_str());
    std::fputs(kUsage, stderr);
    return 2;
}

// YYYY-MM-DDTHH:MM, a real day of the calendar.
bool parseNow(const char* text, LocalTime& now) {
    now = LocalTime{};
    if (std::strlen(text) != 16 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':')
        return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15})
        if (text[i] < '0' || text[i] > '9') return false;
    std::sscanf(text, "%4d-%2d-%2dT%2d:%2d", &now.year, &now.month, &now.day, &now.hour, &now.minute);
    return localTimeToTicks(now).has_value();
}

std::vector<std::string> linkExpiries, productExpiries;
void keepExpiry(ExpiryOf section, int32_t index, const char* text) {
    auto& list = section == ExpiryOf::CompanyLink ? linkExpiries : productExpiries;
    if (list.size() <= size_t(index)) list.resize(size_t(index) + 1);
    list[size_t(index)] = text;
}

CatalogueSource catalogueFromStore(const DataStore& d) {
    CatalogueSource source;
    Catalogue& c = source.catalogue;
    c.dataName = d.dataName;
    c.titlePart1 = d.titlePart1;
    c.titlePart2 = d.titlePart2;
    c.updateDate = d.updateDate;
    for (int32_t i = 0; i < d.companyCount; ++i) {
        const CompanyRecord& k = d.companies[i];
        c.companies.push_back({k.name, k.phone, k.fax, k.contact, k.address, k.postcode, k.website, k.email,
                               k.bank, k.account, k.taxNumber, k.busRoutes,
                               k.introduction ? k.introduction : ""});
    }
    for (int32_t i = 0; i < d.categoryCount; ++i)
        c.categories.push_back({d.categories[i].name, d.categories[i].isGroup != 0});
    for (int32_t i = 0; i < d.treeNodeCount; ++i)
        c.treeNodes.push_back({d.treeNodes[i].parent, d.treeNodes[i].category});
    for (int32_t i = 0; i < d.companyLinkCount; ++i) {
        const CompanyLink& l = d.companyLinks[i];
        c.links.push_back(
            {l.node, l.company, l.linkText, size_t(i) < linkExpiries.size() ? linkExpiries[size_t(i)] : ""});
    }
    for (int32_t i = 0; i < d.productCount; ++i) {
        const ProductRecord& p = d.products[i];
        c.products.push_back({p.company, p.node, p.model, p.configuration, p.price, p.unit, p.origin,
                              p.remarks,
                              size_t(i) < productExpiries.size() ? productExpiries[size_t(i)] : ""});
    }
    return source;
}

} // namespace

int main(int argc, char** argv) {
    useUtf8Arguments(argc, argv);
    CommandLine line;
    std::string error;
    if (!parseCommandLine(argc, argv, 1, {"--now", "--csv"}, 1, line, error)) return usage(error);
    if (line.positional.empty()) return usage("the program file is missing");
    const char* program = line.positional[0].c_str();
    const char* csvFolder = line.value("--csv");
    if (const char* now = line.value("--now")) {
        if (!parseNow(now, fixedNow))
            return usage(std::string("--now takes a local time YYYY-MM-DDTHH:MM, not \"") + now + "\"");
        platform.localTime = fixedLocalTime;
    }
    if (std::strlen(program) >= sizeof programPath)
        return usage("the program path is longer than " + std::to_string(sizeof programPath - 1) + " bytes");
    std::snprintf(programPath, sizeof programPath, "%s", program);
    if (csvFolder) expiryTextSink = keepExpiry;

    // The program's own start-up: the container decoded in memory and loaded.
    extractContainer();
    loadDatabase();

    int status = 0;
    if (csvFolder) {
        CatalogueSource source = catalogueFromStore(dataStore);
        std::vector<uint8_t> file;
        if (readFileBytes(program, file)) source.updateHost = hostInSlot(stripContainer(file));
        if (!writeCatalogueSource(csvFolder, source, error)) {
            std::fprintf(stderr, "kovanta-dump: %s\n", error.c_str());
            status = 1;
        }
    } else {
#ifdef _WIN32
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        std::string json = dataStoreAsJson(dataStore);
        errno = 0;
        bool written = std::fwrite(json.data(), 1, json.size(), stdout) == json.size();
        if (std::fflush(stdout) != 0 || !written || std::ferror(stdout)) {
            std::fprintf(stderr, "kovanta-dump: standard output: cannot be written: %s\n",
                         std::strerror(errno ? errno : EIO));
            status = 1;
        }
    }
    freeDatabase();
    return status;
}
