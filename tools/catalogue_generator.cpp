// The large catalogue: plausible company entries, a two-level product tree (product-name
// groups with brand leaves), company links by leaf and products by company.
//
// Every choice comes from splitmix64 with a fixed start value and integer arithmetic only, and
// no container whose iteration order depends on the standard library, so the output is the
// same everywhere. Each draw is its own statement: the operands of + and the arguments of a
// call may be evaluated in any order, and compilers differ there. Chinese words are GBK byte
// escapes (catalogue_vocabulary.inc) because clang cannot compile narrow literals to GBK;
// texts are built from whole words, so they stay valid GBK, and every piece is added only
// when it fits the field's byte limit.
#include "catalogue_generator.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

#include "catalogue_vocabulary.inc"

constexpr int kCompanyCount = 29999;
constexpr int kGroupCount = 30;
constexpr int kLeavesPerGroup = 99; // 30 groups + 30 * 99 leaves = 3,000 nodes
constexpr int kLinkCount = 60000;
constexpr int kProductCount = 300000;

// Telephone area code and first postcode digits of each city in kCities, in the same order.
constexpr const char* kAreaCodes[] = {"010",  "021",  "020",  "0755", "022",  "023",  "025",  "0571", "027",
                                      "028",  "029",  "024",  "0411", "0532", "0531", "0371", "0731", "0591",
                                      "0592", "0551", "0791", "0871", "0851", "0771", "0311", "0351", "0451",
                                      "0431", "0931", "0512", "0510", "0574", "0577", "0769", "0757", "0756"};
constexpr const char* kPostcodePrefixes[] = {"100", "200", "510", "518", "300", "400", "210", "310", "430",
                                             "610", "710", "110", "116", "266", "250", "450", "410", "350",
                                             "361", "230", "330", "650", "550", "530", "050", "030", "150",
                                             "130", "730", "215", "214", "315", "325", "523", "528", "519"};
static_assert(std::size(kAreaCodes) == std::size(kCities));
static_assert(std::size(kPostcodePrefixes) == std::size(kCities));

constexpr const char* kWebSuffixes[] = {".com", ".com.cn", ".net", ".cn", ".net.cn"};
constexpr const char* kMailUsers[] = {"sales", "info", "service", "market", "office", "webmaster", "support"};
constexpr const char* kMailHosts[] = {"163.com",           "sina.com",  "sohu.com", "263.net",
                                      "public.bta.net.cn", "china.com", "21cn.com"};
constexpr const char* kModelPrefixes[] = {"LJ",  "DCP", "MF",  "T",  "X",  "P",  "AS", "DX", "HL", "ML",
                                          "SCX", "FX",  "PT",  "KX", "VX", "GX", "E",  "S",  "M",  "G",
                                          "NX",  "CP",  "BJC", "TH", "R",  "Z",  "LX", "FS", "KM", "EP"};
constexpr const char* kModelSuffixes[] = {"A",   "B",  "C", "N", "dn", "Plus",
                                          "Pro", "II", "i", "S", "SE", "MT"};
// Syllables of the web and mail names (pinyin-like, ASCII).
constexpr const char* kSyllables[] = {
    "hua",   "xing", "da",   "tong", "lian", "chuang", "heng",  "tai",   "hong", "an",    "xin", "yuan",
    "sheng", "ke",   "hai",  "tian", "jin",  "yi",     "rui",   "de",    "bo",   "zhong", "jia", "dong",
    "ming",  "yong", "long", "hui",  "yu",   "chen",   "guang", "zheng", "fang", "cheng", "he",  "fei"};

class Random {
  public:
    explicit Random(uint64_t state) : state_(state) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    uint32_t below(uint32_t n) { return uint32_t(((next() >> 32) * uint64_t(n)) >> 32); }
    // lo .. hi inclusive
    int between(int lo, int hi) { return lo + int(below(uint32_t(hi - lo + 1))); }
    bool chance(uint32_t numerator, uint32_t denominator) { return below(denominator) < numerator; }
    template <typename T, size_t N> const T& pick(const T (&array)[N]) { return array[below(uint32_t(N))]; }

  private:
    uint64_t state_;
};

// Appends part when the text then stays within limit bytes.
bool appendIfFits(std::string& text, std::string_view part, size_t limit) {
    if (text.size() + part.size() > limit) return false;
    text += part;
    return true;
}

std::string digits(Random& rng, int count) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += char('0' + rng.below(10));
    return s;
}

std::string number(int value) {
    return std::to_string(value);
}

std::string twoDigits(int value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

// YYMMDD: mostly 2027 to 2029; expired ones in 2024.
std::string expiryDate(Random& rng, bool expired) {
    int year = expired ? 24 : rng.between(27, 29);
    std::string date = twoDigits(year);
    date += twoDigits(rng.between(1, 12));
    date += twoDigits(rng.between(1, 28));
    return date;
}

// Splits total over bins: at least minimum each, the rest by random weights 1..maxWeight.
std::vector<int> distribute(Random& rng, int total, int bins, int minimum, int maxWeight) {
    std::vector<int> counts(size_t(bins), minimum);
    std::vector<uint64_t> cumulative(static_cast<size_t>(bins), 0);
    uint64_t sum = 0;
    for (int i = 0; i < bins; ++i)
        cumulative[size_t(i)] = sum += uint64_t(rng.between(1, maxWeight));
    for (int rest = total - bins * minimum; rest > 0; --rest) {
        uint64_t r = ((rng.next() >> 11) % sum);
        size_t lo = 0, hi = cumulative.size() - 1;
        while (lo < hi) { // first bin whose cumulative weight exceeds r
            size_t mid = (lo + hi) / 2;
            if (cumulative[mid] > r)
                hi = mid;
            else
                lo = mid + 1;
        }
        ++counts[lo];
    }
    return counts;
}

std::string syllableName(Random& rng, int syllables) {
    std::string s;
    for (int i = 0; i < syllables; ++i)
        s += rng.pick(kSyllables);
    return s;
}

std::string phoneNumber(Random& rng, const std::string& area) {
    int localDigits = area.size() == 3 ? 8 : rng.between(7, 8);
    std::string phone = area + "-";
    phone += char('2' + rng.below(8));
    phone += digits(rng, localDigits - 1);
    return phone;
}

CompanySource makeCompany(Random& rng, const std::vector<std::string>& groupWords) {
    CompanySource c;
    size_t city = rng.below(uint32_t(std::size(kCities)));
    const std::string area = kAreaCodes[city];

    if (rng.chance(7, 10)) appendIfFits(c.name, kCities[city], fieldLimit::name);
    appendIfFits(c.name, rng.pick(kNameWords), fieldLimit::name);
    appendIfFits(c.name, rng.pick(kNameWords), fieldLimit::name);
    if (rng.chance(1, 4)) appendIfFits(c.name, rng.pick(kNameWords), fieldLimit::name);
    appendIfFits(c.name, rng.pick(kTrades), fieldLimit::name);
    appendIfFits(c.name, rng.pick(kCompanySuffixes), fieldLimit::name);

    c.phone = phoneNumber(rng, area);
    for (int extra = rng.between(0, 3); extra > 0; --extra) {
        std::string more = " ";
        if (rng.chance(1, 2)) {
            more += phoneNumber(rng, area);
        } else { // a further line of the same exchange, without its area code
            more += char('2' + rng.below(8));
            more += digits(rng, 6);
        }
        appendIfFits(c.phone, more, fieldLimit::phone);
    }
    c.fax = phoneNumber(rng, area);

    c.contact = rng.pick(kSurnames);
    c.contact += rng.pick(kGivenNames);
    if (rng.chance(1, 2)) appendIfFits(c.contact, rng.pick(kTitles), fieldLimit::contact);

    c.address = std::string(kCities[city]) + kShi;
    if (rng.chance(2, 3)) appendIfFits(c.address, rng.pick(kDistricts), fieldLimit::address);
    std::string street = rng.pick(kRoads);
    street += kLu;
    street += number(rng.between(1, 399));
    appendIfFits(c.address, street + kHao, fieldLimit::address);
    if (rng.chance(1, 2)) {
        appendIfFits(c.address, rng.pick(kBuildings), fieldLimit::address);
        if (rng.chance(1, 2)) {
            appendIfFits(c.address, number(rng.between(1, 28)) + kCeng, fieldLimit::address);
        } else {
            std::string room = number(rng.between(1, 28));
            room += twoDigits(rng.between(1, 40));
            appendIfFits(c.address, room + kShi4, fieldLimit::address);
        }
    }

    c.postcode = std::string(kPostcodePrefixes[city]) + digits(rng, 3);

    std::string host = syllableName(rng, rng.between(2, 3));
    c.website = "http://www." + host;
    appendIfFits(c.website, rng.pick(kWebSuffixes), fieldLimit::website);
    if (c.website.size() > fieldLimit::website) c.website = "http://www." + host.substr(0, 8) + ".com";
    if (rng.chance(3, 4)) {
        c.email = std::string(rng.pick(kMailUsers)) + "@" + c.website.substr(11);
    } else {
        c.email = syllableName(rng, 2);
        c.email += digits(rng, 2);
        c.email += "@";
        c.email += rng.pick(kMailHosts);
    }
    if (c.email.size() > fieldLimit::email) c.email = syllableName(rng, 2) + "@163.com";

    c.bank = rng.pick(kBanks);
    if (!appendIfFits(c.bank, rng.chance(1, 2) ? kCities[city] : rng.pick(kRoads), fieldLimit::bank))
        appendIfFits(c.bank, rng.pick(kSurnames), fieldLimit::bank);
    appendIfFits(c.bank, rng.pick(kBankBranches), fieldLimit::bank);

    switch (rng.below(3)) {
    case 0: c.account = digits(rng, 19); break;
    case 1:
        for (int group : {4, 4, 4, 5}) {
            if (!c.account.empty()) c.account += "-";
            c.account += digits(rng, group);
        }
        break;
    default:
        c.account = digits(rng, 3);
        c.account += "-";
        c.account += digits(rng, 12);
        break;
    }
    c.taxNumber = std::string(kPostcodePrefixes[city]) + digits(rng, 12);

    for (int routes = rng.between(2, 5), i = 0; i < routes; ++i) {
        std::string route;
        if (i > 0) route += kDunhao;
        if (rng.chance(1, 8)) route += rng.chance(1, 2) ? kYunTong : kTeXian;
        route += number(rng.between(1, 999));
        if (!appendIfFits(c.busRoutes, route, fieldLimit::busRoutes - 2)) break;
    }
    c.busRoutes += kLu;

    // The introduction: an opening sentence, what the company sells, phrases, a closing.
    std::string& t = c.introduction;
    size_t target = size_t(rng.between(60, 240));
    t = rng.pick(kIntroOpenings);
    t += number(rng.between(1985, 2004));
    t += kNian;
    t += kComma;
    t += rng.pick(kIntroKinds);
    t += rng.pick(kIntroBusiness);
    t += rng.pick(kIntroTails);
    t += rng.pick(kIntroMain);
    for (int n = rng.between(1, 3), i = 0; i < n; ++i) {
        if (i > 0) t += kDunhao;
        t += groupWords[rng.below(uint32_t(groupWords.size()))];
    }
    t += kDeng;
    t += kChanPin;
    t += kFullStop;
    if (rng.chance(1, 3)) {
        t += kYuanGong;
        t += number(rng.between(10, 300));
        t += kRen;
        t += kComma;
        t += kZhuanYe;
        t += number(rng.between(5, 80));
        t += kMing;
        t += kFullStop;
    }
    for (const char* last = nullptr; t.size() < target;) { // no phrase twice in a row
        const char* phrase = rng.pick(kIntroPhrases);
        if (phrase == last) continue;
        t += phrase;
        last = phrase;
    }
    t += rng.pick(kIntroClosings);
    if (rng.chance(1, 2)) {
        t += kDiZhi;
        t += c.address;
        t += kFullStop;
    }
    return c;
}

std::string productModel(Random& rng) {
    std::string m = rng.pick(kModelPrefixes);
    if (rng.chance(1, 2)) m += "-";
    m += char('1' + rng.below(9));
    m += digits(rng, rng.between(1, 3));
    if (rng.chance(1, 3)) m += rng.pick(kModelSuffixes);
    return m;
}

std::string configuration(Random& rng) {
    std::string s;
    // Three in ten products have none, most a short one, some fill much of the field.
    uint32_t kind = rng.below(20);
    if (kind < 6) return s;
    size_t target =
        kind < 17 ? size_t(rng.between(6, 24)) : size_t(rng.between(30, int(fieldLimit::configuration)));
    const char* joiner = rng.pick(kConfigJoiners);
    while (s.size() < target) {
        std::string part = s.empty() ? std::string() : std::string(joiner);
        part += rng.pick(kConfigParts);
        if (!appendIfFits(s, part, fieldLimit::configuration)) break;
    }
    return s;
}

float productPrice(Random& rng) {
    if (rng.chance(1, 4)) return 0;                                      // price on request
    static const int scales[] = {1000, 10000, 100000, 1000000, 3000000}; // fen
    int cents = rng.between(100, scales[rng.below(5)]);
    if (rng.chance(1, 2)) cents -= cents % 100; // whole yuan
    return float(double(cents) / 100.0);
}

} // namespace

Catalogue generateLargeCatalogue() {
    Random rng(0x4B6F76616E746131ull);
    Catalogue cat;
    cat.dataName = kHeaderTexts[0];
    cat.titlePart1 = kHeaderTexts[1];
    cat.titlePart2 = kHeaderTexts[2];
    cat.updateDate = "2025-06-01";

    // Categories shared by equal (label, isGroup) pairs.
    std::map<std::pair<std::string, bool>, int32_t> categoryIndex;
    auto categoryFor = [&](const std::string& label, bool isGroup) {
        auto [it, added] =
            categoryIndex.emplace(std::make_pair(label, isGroup), int32_t(cat.categories.size()));
        if (added) cat.categories.push_back({label, isGroup});
        return it->second;
    };

    // Brand labels: the known brands and two-syllable made-up ones, shared between groups.
    std::vector<std::string> madeUpBrands;
    {
        std::set<std::string> seen(std::begin(kBrands), std::end(kBrands));
        while (madeUpBrands.size() < 400) {
            std::string b = rng.pick(kBrandSyllables);
            b += rng.pick(kBrandSyllables);
            if (seen.insert(b).second) madeUpBrands.push_back(b);
        }
    }
    std::vector<std::string> groupWords(std::begin(kGroups), std::end(kGroups));
    std::vector<int32_t> leaves;
    for (int g = 0; g < kGroupCount; ++g) {
        int32_t groupNode = int32_t(cat.treeNodes.size());
        cat.treeNodes.push_back({-1, categoryFor(kGroups[g], true)});
        std::set<std::string> used;
        int known = rng.between(40, 70);
        while (int(used.size()) < kLeavesPerGroup) {
            std::string label = int(used.size()) < known
                                    ? std::string(rng.pick(kBrands))
                                    : madeUpBrands[rng.below(uint32_t(madeUpBrands.size()))];
            if (!used.insert(label).second) continue;
            leaves.push_back(int32_t(cat.treeNodes.size()));
            cat.treeNodes.push_back({groupNode, categoryFor(label, false)});
        }
    }

    cat.companies.reserve(kCompanyCount);
    for (int i = 0; i < kCompanyCount; ++i)
        cat.companies.push_back(makeCompany(rng, groupWords));

    // Links: each leaf's links one after another, in node order; a few hundred expired.
    std::vector<std::vector<int32_t>> companyLeaves(kCompanyCount);
    std::vector<int> linksPerLeaf = distribute(rng, kLinkCount, int(leaves.size()), 1, 40);
    cat.links.reserve(kLinkCount);
    for (size_t l = 0; l < leaves.size(); ++l) {
        std::set<int32_t> linked;
        while (int(linked.size()) < linksPerLeaf[l]) {
            int32_t company = int32_t(rng.below(kCompanyCount));
            if (!linked.insert(company).second) continue;
            companyLeaves[size_t(company)].push_back(leaves[l]);
            std::string text = rng.pick(kLinkTexts);
            bool expired = rng.chance(1, 200);
            cat.links.push_back({leaves[l], company, text, expiryDate(rng, expired)});
        }
    }

    // Products: each company's products one after another, under a leaf it is linked to.
    std::vector<int> productsPerCompany = distribute(rng, kProductCount, kCompanyCount, 1, 19);
    cat.products.reserve(kProductCount);
    for (int32_t company = 0; company < kCompanyCount; ++company) {
        const std::vector<int32_t>& own = companyLeaves[size_t(company)];
        for (int n = 0; n < productsPerCompany[size_t(company)]; ++n) {
            ProductSource p;
            p.company = company;
            p.node = !own.empty() && rng.chance(4, 5) ? own[rng.below(uint32_t(own.size()))]
                                                      : leaves[rng.below(uint32_t(leaves.size()))];
            p.model = productModel(rng);
            p.configuration = configuration(rng);
            p.price = productPrice(rng);
            p.unit = rng.pick(kUnits);
            p.origin = rng.pick(kOrigins);
            if (rng.chance(4, 5)) p.remarks = rng.pick(kRemarks);
            p.expiry = expiryDate(rng, rng.chance(1, 1000));
            cat.products.push_back(std::move(p));
        }
    }
    return cat;
}
