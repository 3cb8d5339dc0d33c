#include "fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "container.h"
#include "database.h"
#include "gbktext.h"
#include "platform.h"
#include "raster_file.h"

namespace fuzz {

namespace {

std::string scratchPath;

void throwingExit(int status) {
    throw ProcessExit{status};
}
void silentMessage(const char*) {}
void silentFailure(StartupFailure) {}
// A fixed clock, so that expiry decisions do not depend on the day of the run.
void fixedLocalTime(LocalTime* now) {
    *now = LocalTime{2026, 6, 15, 10, 30, 0, 0};
}

void removeScratch() {
    if (scratchPath.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(scratchPath, ignored);
}

} // namespace

void fail(const char* what) {
    std::fprintf(stderr, "kovanta fuzz check failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

void setUpProcess() {
    if (!scratchPath.empty()) return;
    std::string pattern = (std::filesystem::temp_directory_path() / "kovanta-fuzz-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) fail("cannot create the scratch directory");
    scratchPath = name.data();
    std::atexit(removeScratch);

    platform = defaultPlatform();
    platform.exitProcess = throwingExit;
    platform.showMessage = silentMessage;
    platform.showFailure = silentFailure;
    platform.localTime = fixedLocalTime;
}

InScratchDirectory::InScratchDirectory() : previous_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (previous_ < 0 || chdir(scratchPath.c_str()) != 0) fail("cannot enter the scratch directory");
}

InScratchDirectory::~InScratchDirectory() {
    if (fchdir(previous_) != 0) fail("cannot leave the scratch directory");
    close(previous_);
}

StderrCapture::StderrCapture() {
    std::fflush(stderr);
    FILE* stream = open_memstream(&buffer_, &size_);
    if (!stream) fail("open_memstream");
    saved_ = stderr;
    stream_ = stream;
    stderr = stream; // glibc: stderr is an assignable FILE*
}

std::string StderrCapture::finish() {
    if (!stream_) return {};
    stderr = static_cast<FILE*>(saved_);
    std::fclose(static_cast<FILE*>(stream_));
    stream_ = nullptr;
    std::string text(buffer_ ? buffer_ : "", size_);
    std::free(buffer_);
    buffer_ = nullptr;
    return text;
}

StderrCapture::~StderrCapture() {
    finish();
}

void writeFile(const char* path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path, "wb");
    if (!f) fail("cannot create a scratch file");
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) fail("short write");
    if (std::fclose(f) != 0) fail("cannot close a scratch file");
}

std::vector<uint8_t> readFile(const char* path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path, "rb");
    if (!f) return bytes;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    return bytes;
}

namespace {

// A volatile sink keeps the strlen calls from being folded away.
volatile size_t touched;

// A loaded text never ends in half a character.
void checkWhole(const char* text) {
    size_t length = std::strlen(text);
    if (gbkWholeLength(text, length) != length) fail("a text ending in a lone lead byte");
    touched = touched + length;
}

template <size_t N> void checkField(const char (&field)[N]) {
    if (strnlen(field, N) >= N) fail("a text field without its terminator");
    checkWhole(field);
}

template <typename Record> void checkArray(const Record* array, int32_t count) {
    if (count < 0) fail("a negative record count");
    if ((count > 0) != (array != nullptr)) fail("a record array and its count disagree");
}

// Every index the loader hands on is in range or its "none" value, and the checked accessor
// agrees with the array.
void checkNode(int32_t node) {
    if (node != kNoIndex && (node < 0 || node >= dataStore.treeNodeCount)) fail("a node index out of range");
    if ((treeNodeAt(node) != nullptr) != (node != kNoIndex)) fail("treeNodeAt disagrees with the node index");
}
void checkCategory(int32_t category) {
    if (category != kNoIndex && (category < 0 || category >= dataStore.categoryCount))
        fail("a category index out of range");
    if ((categoryAt(category) != nullptr) != (category != kNoIndex)) fail("categoryAt disagrees");
}
void checkCompany(int32_t company) {
    if (company != kNoCompanyIndex && (company < 0 || company >= dataStore.companyCount))
        fail("a company index out of range");
    if ((companyAt(company) != nullptr) != (company != kNoCompanyIndex)) fail("companyAt disagrees");
}

} // namespace

void loadStream(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(kRasterHeaderSize, 0);
    bytes.insert(bytes.end(), data, data + size);
    if (!raster.assign(bytes.data(), bytes.size())) fail("no memory for the raster");
    int result = -1;
    try {
        result = loadDatabase();
    } catch (const ProcessExit&) {
        fail("the loader ended the process");
    }
    if (result != 1) fail("the loader did not find its raster");
}

void walkDatabase() {
    const DataStore& d = dataStore;
    checkField(d.dataName);
    checkField(d.titlePart1);
    checkField(d.titlePart2);
    checkField(d.updateDate);

    checkArray(d.companies, d.companyCount);
    if (d.companyCount > kMaxCompanyCount) fail("more companies than company indexes");
    for (int32_t i = 0; i < d.companyCount; ++i) {
        const CompanyRecord& c = d.companies[i];
        checkField(c.name);
        checkField(c.phone);
        checkField(c.contact);
        checkField(c.fax);
        checkField(c.website);
        checkField(c.email);
        checkField(c.address);
        checkField(c.postcode);
        checkField(c.bank);
        checkField(c.account);
        checkField(c.taxNumber);
        checkField(c.busRoutes);
        if (c.introduction) checkWhole(c.introduction);
    }
    checkArray(d.categories, d.categoryCount);
    for (int32_t i = 0; i < d.categoryCount; ++i) {
        checkField(d.categories[i].name);
        touched = touched + size_t(d.categories[i].isGroup);
    }
    checkArray(d.treeNodes, d.treeNodeCount);
    for (int32_t i = 0; i < d.treeNodeCount; ++i) {
        checkNode(d.treeNodes[i].parent);
        checkCategory(d.treeNodes[i].category);
    }
    checkArray(d.companyLinks, d.companyLinkCount);
    int32_t expired = 0;
    for (int32_t i = 0; i < d.companyLinkCount; ++i) {
        checkField(d.companyLinks[i].linkText);
        checkNode(d.companyLinks[i].node);
        checkCompany(d.companyLinks[i].company);
        if (d.companyLinks[i].valid != 0 && d.companyLinks[i].valid != 1)
            fail("a link validity other than 0 or 1");
        expired += d.companyLinks[i].valid == 0;
    }
    checkArray(d.companyTree, d.companyTreeCount);
    if (d.companyTreeCount != d.companyLinkCount) fail("the company tree and the links disagree in count");
    for (int32_t i = 0; i < d.companyTreeCount; ++i)
        touched = touched + size_t(d.companyTree[i].node);
    checkArray(d.products, d.productCount);
    for (int32_t i = 0; i < d.productCount; ++i) {
        const ProductRecord& p = d.products[i];
        checkNode(p.node);
        checkCompany(p.company);
        checkField(p.model);
        checkField(p.configuration);
        checkField(p.unit);
        checkField(p.origin);
        checkField(p.remarks);
        if (p.valid != 0 && p.valid != 1) fail("a product validity other than 0 or 1");
        expired += p.valid == 0;
    }
    if (expired != d.expiredCount) fail("expiredCount differs from the expired links and products");
}

} // namespace fuzz
