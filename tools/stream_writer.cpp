// The database stream: four header texts, then companies, categories, tree nodes, links and
// products, each section a 32-bit little-endian count followed by its entries.
#include "stream_writer.h"

#include <cstring>
#include <functional>

namespace {

// Visits every text of the catalogue with its section, index, field name and limit.
void forEachText(
    const Catalogue& c,
    const std::function<void(const char*, size_t, const char*, const std::string&, size_t)>& visit) {
    visit("header", 0, "dataName", c.dataName, fieldLimit::dataName);
    visit("header", 0, "titlePart1", c.titlePart1, fieldLimit::titlePart);
    visit("header", 0, "titlePart2", c.titlePart2, fieldLimit::titlePart);
    visit("header", 0, "updateDate", c.updateDate, fieldLimit::updateDate);
    for (size_t i = 0; i < c.companies.size(); ++i) {
        const CompanySource& k = c.companies[i];
        for (const CompanyText& t : kCompanyTexts)
            visit("company", i, t.column, k.*t.member, t.limit);
        visit("company", i, "introduction", k.introduction, size_t(INT32_MAX));
    }
    for (size_t i = 0; i < c.categories.size(); ++i)
        visit("category", i, "name", c.categories[i].name, fieldLimit::categoryName);
    for (size_t i = 0; i < c.links.size(); ++i) {
        visit("link", i, "linkText", c.links[i].linkText, fieldLimit::linkText);
        visit("link", i, "expiry", c.links[i].expiry, fieldLimit::expiry);
    }
    for (size_t i = 0; i < c.products.size(); ++i) {
        const ProductSource& p = c.products[i];
        visit("product", i, "model", p.model, fieldLimit::model);
        visit("product", i, "configuration", p.configuration, fieldLimit::configuration);
        visit("product", i, "unit", p.unit, fieldLimit::unit);
        visit("product", i, "origin", p.origin, fieldLimit::origin);
        visit("product", i, "remarks", p.remarks, fieldLimit::remarks);
        visit("product", i, "expiry", p.expiry, fieldLimit::expiry);
    }
}

class StreamBuilder {
  public:
    explicit StreamBuilder(std::vector<uint8_t>& out) : out_(out) {}
    void text(const std::string& s) {
        out_.push_back(uint8_t(s.size()));
        out_.insert(out_.end(), s.begin(), s.end());
    }
    void int32(int32_t v) {
        for (int i = 0; i < 4; ++i)
            out_.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    }
    void float32(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        int32(int32_t(bits));
    }
    void byte(uint8_t b) { out_.push_back(b); }
    void bytes(const std::string& s) { out_.insert(out_.end(), s.begin(), s.end()); }

  private:
    std::vector<uint8_t>& out_;
};

} // namespace

std::vector<FieldError> checkFieldLengths(const Catalogue& catalogue) {
    std::vector<FieldError> errors;
    forEachText(catalogue, [&](const char* section, size_t index, const char* field, const std::string& text,
                               size_t limit) {
        if (text.size() > limit) errors.push_back({section, index, field, text.size(), limit});
    });
    return errors;
}

bool writeDatabaseStream(const Catalogue& c, std::vector<uint8_t>& stream, std::vector<FieldError>& errors) {
    errors = checkFieldLengths(c);
    if (!errors.empty()) return false;
    stream.clear();
    StreamBuilder s(stream);
    s.text(c.dataName);
    s.text(c.titlePart1);
    s.text(c.titlePart2);
    s.text(c.updateDate);
    s.int32(int32_t(c.companies.size()));
    for (const CompanySource& k : c.companies) {
        for (const CompanyText& t : kCompanyTexts)
            s.text(k.*t.member);
        s.int32(int32_t(k.introduction.size()));
        s.bytes(k.introduction);
    }
    s.int32(int32_t(c.categories.size()));
    for (const CategorySource& k : c.categories) {
        s.text(k.name);
        s.byte(k.isGroup ? 1 : 0);
    }
    s.int32(int32_t(c.treeNodes.size()));
    for (const TreeNodeSource& n : c.treeNodes) {
        s.int32(n.parent);
        s.int32(n.category);
    }
    s.int32(int32_t(c.links.size()));
    for (const LinkSource& l : c.links) {
        s.int32(l.node);
        s.int32(l.company);
        s.text(l.linkText);
        s.text(l.expiry);
    }
    s.int32(int32_t(c.products.size()));
    for (const ProductSource& p : c.products) {
        s.int32(p.company);
        s.int32(p.node);
        s.text(p.model);
        s.text(p.configuration);
        s.float32(p.price);
        s.text(p.unit);
        s.text(p.origin);
        s.text(p.remarks);
        s.text(p.expiry);
    }
    return true;
}
