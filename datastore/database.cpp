// Loads the database stream from the raster into dataStore, and releases it.
//
// The stream starts at offset 1078 of the raster. Integers are 32-bit signed little-endian, the
// price a little-endian IEEE single. Texts are ShortStrings: a signed length byte (1..127 bytes
// follow; 0 or a byte of 128 and above means empty text), then the bytes. In order: dataName,
// titlePart1, titlePart2, updateDate; then five counted sections: companies (twelve texts, an
// introduction length and its bytes), categories (name, one isGroup byte), tree nodes (parent,
// category), company links (node, company, link text, expiry YYMMDD) and products (company,
// node, model, configuration, price, unit, origin, remarks, expiry YYMMDD).
//
// Company indexes end at 29999 (30000 means no company), so companies stated beyond 30000 are
// read past and dropped. The stream's node, category and company indexes are not trusted: one
// that refers to no record is replaced by its "none" value once everything is read. A text never
// ends in a lone lead byte: it is dropped as the text is read.
#include "database.h"

#include <cstdlib>
#include <cstring>

#include "fileio.h"
#include "filetime.h"
#include "fresh_pages.h"
#include "gbktext.h"
#include "platform.h"
#include "raster_file.h"

DataStore dataStore;
void (*expiryTextSink)(ExpiryOf, int32_t, const char*) = nullptr;
void* (*allocateZeroed)(size_t, size_t) = std::calloc;

namespace {

// A reader of the raster's pixel area that knows how many bytes are left, so that a count can
// never make the loader allocate more records than the stream can hold, and that reports the
// end of data. It reads the raster's pieces in place and lets each go once it is past it.
class StreamReader {
  public:
    explicit StreamReader(Raster& raster)
        : raster_(raster),
          remaining_(raster.size() > kRasterHeaderSize ? int64_t(raster.size()) - kRasterHeaderSize : 0) {
        if (fill()) pos_ = kRasterHeaderSize < length_ ? kRasterHeaderSize : length_;
    }

    bool read(void* to, size_t size) {
        if (size <= length_ - pos_ && !ended_) { // within the piece: the common case
            if (size > 0) std::memcpy(to, buffer_ + pos_, size);
            pos_ += size;
            remaining_ -= int64_t(size);
            return true;
        }
        if (ended_ || int64_t(size) > remaining_) {
            ended_ = true;
            return false;
        }
        auto* out = static_cast<unsigned char*>(to);
        while (size > 0) {
            if (pos_ == length_ && !fill()) return false;
            size_t n = length_ - pos_ < size ? length_ - pos_ : size;
            std::memcpy(out, buffer_ + pos_, n);
            pos_ += n;
            out += n;
            size -= n;
            remaining_ -= int64_t(n);
        }
        return true;
    }
    // The next size bytes where they lie, when the current piece holds them all, and the reader
    // past them; null, and the reader where it was, otherwise.
    const unsigned char* take(size_t size) {
        if (ended_ || size > length_ - pos_) return nullptr;
        const unsigned char* at = buffer_ + pos_;
        pos_ += size;
        remaining_ -= int64_t(size);
        return at;
    }
    bool readInt32(int32_t& value) {
        unsigned char bytes[4];
        const unsigned char* at = take(4);
        if (!at) {
            if (!read(bytes, 4)) return false;
            at = bytes;
        }
        value = int32_t(readU32LE(at));
        return true;
    }
    bool readByte(unsigned char& value) {
        const unsigned char* at = take(1);
        if (!at) return read(&value, 1);
        value = *at;
        return true;
    }
    bool ended() const { return ended_; }
    int64_t remaining() const { return remaining_; }

  private:
    bool fill() {
        if (zerosLeft_ > 0) return nextZeros();
        if (next_ > 0) raster_.releasePiece(next_ - 1);
        if (next_ == raster_.pieceCount()) {
            length_ = pos_ = 0;
            ended_ = true;
            return false;
        }
        const uint8_t* piece = raster_.piece(next_);
        const size_t length = raster_.pieceLength(next_);
        ++next_;
        if (!piece) {
            zerosLeft_ = length;
            return nextZeros();
        }
        buffer_ = piece;
        length_ = length;
        pos_ = 0;
        return true;
    }
    // A piece the decoder never wrote is read as a run of short zero blocks: a zero block as
    // long as a piece would be a megabyte of the program file.
    bool nextZeros() {
        static constexpr size_t kZeroBlock = 4096;
        static_assert(kZeroBlock > kRasterHeaderSize, "the header is skipped within the first block");
        static const uint8_t zeros[kZeroBlock] = {};
        buffer_ = zeros;
        length_ = zerosLeft_ < kZeroBlock ? zerosLeft_ : kZeroBlock;
        zerosLeft_ -= length_;
        pos_ = 0;
        return true;
    }
    Raster& raster_;
    int64_t remaining_;
    const uint8_t* buffer_ = nullptr;
    size_t next_ = 0, pos_ = 0, length_ = 0;
    size_t zerosLeft_ = 0; // of the untouched piece being read
    bool ended_ = false;
};

// Copies a short text byte by byte and gives the place of its first zero byte (n without one):
// a library call or two per field would cost more than the copy, under the 32-bit runtime most.
size_t copyNotingZero(char* to, const unsigned char* from, size_t n) {
    size_t zero = n;
    for (size_t i = 0; i < n; ++i) {
        to[i] = char(from[i]);
        if (from[i] == 0 && zero == n) zero = i;
    }
    return zero;
}

// Keeps what fits of an over-long text and consumes the rest of its bytes. A lead byte that
// ends the text alone is dropped (the packer never writes one; a damaged stream may).
template <size_t N> bool readShortString(StreamReader& stream, char (&field)[N]) {
    field[0] = '\0';
    unsigned char length;
    if (!stream.readByte(length)) return false;
    if (length == 0 || length >= 128) return true;
    if (length < N) { // the usual case: the text fits as it stands
        size_t textLength;
        if (const unsigned char* at = stream.take(length)) {
            textLength = copyNotingZero(field, at, length);
        } else {
            if (!stream.read(field, length)) return false;
            field[length] = '\0';
            textLength = std::strlen(field);
        }
        field[length] = '\0';
        field[gbkWholeLength(field, textLength)] = '\0';
        return true;
    }
    char text[127];
    if (!stream.read(text, length)) return false;
    copyToField(field, N, text, fieldTextLength(text, length));
    return true;
}

[[noreturn]] void outOfMemory() {
    failStartup(StartupFailure::OutOfMemory, 0);
}

// No more records than the rest of the stream can hold at minimumSize bytes each, and at
// least one, whose read then reports the end of the stream.
int32_t capacityFor(int32_t count, const StreamReader& stream, int minimumSize) {
    int64_t fits = stream.remaining() / minimumSize;
    return int32_t(count < fits ? count : (fits > 0 ? fits : 1));
}

bool readCompany(StreamReader& s, CompanyRecord& c) {
    if (!(readShortString(s, c.name) && readShortString(s, c.phone) && readShortString(s, c.fax) &&
          readShortString(s, c.contact) && readShortString(s, c.address) && readShortString(s, c.postcode) &&
          readShortString(s, c.website) && readShortString(s, c.email) && readShortString(s, c.bank) &&
          readShortString(s, c.account) && readShortString(s, c.taxNumber) &&
          readShortString(s, c.busRoutes)))
        return false;
    int32_t length;
    if (!s.readInt32(length)) return false;
    if (length < 1) return true;
    if (length > s.remaining()) {
        s.read(nullptr, size_t(length)); // marks the end of the stream
        return false;
    }
    char* text = static_cast<char*>(allocateZeroed(size_t(length) + 1, 1));
    if (!text) outOfMemory();
    if (!s.read(text, size_t(length))) {
        std::free(text);
        return false;
    }
    text[gbkWholeLength(text, std::strlen(text))] = '\0'; // the block ends in a zero byte
    c.introduction = text;
    return true;
}

bool readCategory(StreamReader& s, CategoryRecord& c) {
    unsigned char isGroup;
    if (!readShortString(s, c.name) || !s.readByte(isGroup)) return false;
    c.isGroup = isGroup;
    return true;
}

bool readTreeNode(StreamReader& s, TreeNodeRecord& n) {
    return s.readInt32(n.parent) && s.readInt32(n.category);
}

// Reads one counted section into array and count, at most limit entries; entries cut off by
// the end of the stream are left out. Returns how many more entries the stream states beyond
// the limit, for the caller to read past.
template <typename Record, typename ReadEntry>
int32_t readSection(StreamReader& s, Record*& array, int32_t& count, int minimumSize, ReadEntry readEntry,
                    int32_t limit = INT32_MAX) {
    int32_t stated;
    if (!s.readInt32(stated) || stated <= 0) return 0;
    int32_t wanted = stated < limit ? stated : limit;
    int32_t capacity = capacityFor(wanted, s, minimumSize);
    array = static_cast<Record*>(allocateZeroed(size_t(capacity), sizeof(Record)));
    if (!array) outOfMemory();
    freshPages.begin(reinterpret_cast<unsigned char*>(array), size_t(capacity) * sizeof(Record));
    int32_t n = 0;
    for (; n < wanted && n < capacity; ++n) {
        freshPages.reach(reinterpret_cast<const unsigned char*>(array + n + 1));
        if (!readEntry(s, array[n], n)) break;
    }
    freshPages.finish();
    count = n;
    if (n == 0) {
        std::free(array);
        array = nullptr;
    }
    return n == wanted ? stated - wanted : 0;
}

// An index that refers to no record becomes the "none" value, so that every index the views
// are handed is in range or plainly none.
void markBadIndices(DataStore& d) {
    auto node = [&](int32_t& index) {
        if (index < 0 || index >= d.treeNodeCount) index = kNoIndex;
    };
    auto company = [&](int32_t& index) {
        if (index < 0 || index >= d.companyCount) index = kNoCompanyIndex;
    };
    for (int32_t i = 0; i < d.treeNodeCount; ++i) {
        TreeNodeRecord& n = d.treeNodes[i];
        node(n.parent);
        if (n.category < 0 || n.category >= d.categoryCount) n.category = kNoIndex;
    }
    for (int32_t i = 0; i < d.companyLinkCount; ++i) {
        node(d.companyLinks[i].node);
        company(d.companyLinks[i].company);
    }
    for (int32_t i = 0; i < d.productCount; ++i) {
        node(d.products[i].node);
        company(d.products[i].company);
    }
}

template <typename Record> Record* recordAt(Record* array, int32_t count, int32_t index) {
    return index >= 0 && index < count ? array + index : nullptr;
}

uint64_t loadTicks;

// YYMMDD, valid until noon of that day; a text that is not such a date never expires.
bool hasExpired(uint64_t loadTime, const char* expiryText) {
    for (int i = 0; i < 6; ++i)
        if (expiryText[i] < '0' || expiryText[i] > '9') return false;
    auto pair = [&](int i) { return (expiryText[i] - '0') * 10 + (expiryText[i + 1] - '0'); };
    LocalTime expiry{2000 + pair(0), pair(2), pair(4), 12, 0, 0, 0};
    std::optional<uint64_t> expiryTicks = localTimeToTicks(expiry);
    return expiryTicks && *expiryTicks < loadTime;
}

void noteExpiry(ExpiryOf section, int32_t index, const char* text) {
    if (expiryTextSink) expiryTextSink(section, index, text);
}

} // namespace

int checkExpiry(uint64_t loadTime, const char* expiryText) {
    // Entries share a few thousand dates at most: each date's answer is kept for the load time
    // it was found for (0 not known yet, 1 valid, 2 expired).
    static int8_t answers[100 * 12 * 31];
    static uint64_t answersFor;
    int digits[6];
    int n = 0;
    while (n < 6 && expiryText[n] >= '0' && expiryText[n] <= '9') { // stops at the terminator
        digits[n] = expiryText[n] - '0';
        ++n;
    }
    int month = n == 6 ? digits[2] * 10 + digits[3] : 0, day = n == 6 ? digits[4] * 10 + digits[5] : 0;
    bool expired;
    if (month >= 1 && month <= 12 && day >= 1 && day <= 31) {
        int year = digits[0] * 10 + digits[1];
        if (answersFor != loadTime) {
            std::memset(answers, 0, sizeof answers);
            answersFor = loadTime;
        }
        int8_t& answer = answers[(year * 12 + month - 1) * 31 + day - 1];
        if (answer == 0) answer = hasExpired(loadTime, expiryText) ? 2 : 1;
        expired = answer == 2;
    } else {
        expired = hasExpired(loadTime, expiryText);
    }
    if (!expired) return 1;
    ++dataStore.expiredCount;
    return 0;
}

int loadDatabase() {
    LocalTime now;
    platform.localTime(&now);
    loadTicks = localTimeToTicks(now).value_or(0);

    if (raster.size() == 0) return 0; // nothing was decoded
    StreamReader s(raster);

    DataStore& d = dataStore;
    readShortString(s, d.dataName) && readShortString(s, d.titlePart1) && readShortString(s, d.titlePart2) &&
        readShortString(s, d.updateDate);

    // Smallest entries: twelve empty texts and a length; a name byte and isGroup; two
    // integers; two integers and two length bytes; two integers, six length bytes and a price.
    int32_t beyond = readSection(
        s, d.companies, d.companyCount, 16,
        [](StreamReader& s, CompanyRecord& c, int32_t) { return readCompany(s, c); }, kMaxCompanyCount);
    for (bool more = true; more && beyond > 0; --beyond) {
        CompanyRecord dropped{};
        more = readCompany(s, dropped);
        std::free(dropped.introduction);
    }
    readSection(s, d.categories, d.categoryCount, 2,
                [](StreamReader& s, CategoryRecord& c, int32_t) { return readCategory(s, c); });
    readSection(s, d.treeNodes, d.treeNodeCount, 8,
                [](StreamReader& s, TreeNodeRecord& n, int32_t) { return readTreeNode(s, n); });

    d.expiredCount = 0;
    readSection(s, d.companyLinks, d.companyLinkCount, 10, [](StreamReader& s, CompanyLink& l, int32_t i) {
        char expiry[kExpiryFieldCapacity];
        if (!(s.readInt32(l.node) && s.readInt32(l.company) && readShortString(s, l.linkText) &&
              readShortString(s, expiry)))
            return false;
        noteExpiry(ExpiryOf::CompanyLink, i, expiry);
        l.valid = checkExpiry(loadTicks, expiry);
        return true;
    });
    if (d.companyLinkCount > 0) {
        d.companyTree = static_cast<CompanyTreeEntry*>(
            allocateZeroed(size_t(d.companyLinkCount), sizeof(CompanyTreeEntry)));
        if (d.companyTree) {
            d.companyTreeCount = d.companyLinkCount;
        } else {
            platform.showMessage("companyTree内存不足!");
        }
    }

    readSection(s, d.products, d.productCount, 18, [](StreamReader& s, ProductRecord& p, int32_t i) {
        char expiry[kExpiryFieldCapacity];
        unsigned char price[4];
        if (!(s.readInt32(p.company) && s.readInt32(p.node) && readShortString(s, p.model) &&
              readShortString(s, p.configuration) && s.read(price, 4) && readShortString(s, p.unit) &&
              readShortString(s, p.origin) && readShortString(s, p.remarks) && readShortString(s, expiry)))
            return false;
        uint32_t bits = readU32LE(price);
        std::memcpy(&p.price, &bits, 4);
        noteExpiry(ExpiryOf::Product, i, expiry);
        p.valid = checkExpiry(loadTicks, expiry);
        return true;
    });

    markBadIndices(d);

    raster.clear();
    return 1;
}

CompanyRecord* companyAt(int32_t company) {
    return recordAt(dataStore.companies, dataStore.companyCount, company);
}
CategoryRecord* categoryAt(int32_t category) {
    return recordAt(dataStore.categories, dataStore.categoryCount, category);
}
TreeNodeRecord* treeNodeAt(int32_t node) {
    return recordAt(dataStore.treeNodes, dataStore.treeNodeCount, node);
}
CompanyLink* companyLinkAt(int32_t link) {
    return recordAt(dataStore.companyLinks, dataStore.companyLinkCount, link);
}
ProductRecord* productAt(int32_t product) {
    return recordAt(dataStore.products, dataStore.productCount, product);
}

void freeDatabase() {
    DataStore& d = dataStore;
    for (int32_t i = 0; i < d.companyCount; ++i)
        std::free(d.companies[i].introduction);
    std::free(d.companies);
    std::free(d.categories);
    std::free(d.treeNodes);
    std::free(d.products);
    std::free(d.companyLinks);
    std::free(d.listRowBuffer);
    std::free(d.companyTree);
    d = DataStore{};
}

uint64_t loadedDatabaseBytes() {
    const DataStore& d = dataStore;
    uint64_t bytes = uint64_t(d.companyCount) * sizeof(CompanyRecord) +
                     uint64_t(d.categoryCount) * sizeof(CategoryRecord) +
                     uint64_t(d.treeNodeCount) * sizeof(TreeNodeRecord) +
                     uint64_t(d.companyLinkCount) * (sizeof(CompanyLink) + sizeof(CompanyTreeEntry)) +
                     uint64_t(d.productCount) * sizeof(ProductRecord);
    for (int32_t i = 0; i < d.companyCount; ++i)
        if (d.companies[i].introduction) bytes += std::strlen(d.companies[i].introduction) + 1;
    return bytes;
}
