// JSON of every loaded record, in record order.
#include "dump_json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "textcodec.h"

namespace {

class JsonWriter {
  public:
    void text(const char* gbk) { quoted(gbkToUtf8(gbk)); }
    void quoted(const std::string& utf8) {
        out_ += '"';
        for (unsigned char c : utf8) {
            switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            default:
                if (c < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", c);
                    out_ += escape;
                } else {
                    out_ += char(c);
                }
            }
        }
        out_ += '"';
    }
    void number(long long v) { out_ += std::to_string(v); }
    void real(float f) {
        if (!std::isfinite(f)) {
            out_ += "null";
            return;
        }
        char text[32];
        for (int digits = 1; digits <= 9; ++digits) {
            std::snprintf(text, sizeof text, "%.*g", digits, double(f));
            if (std::strtof(text, nullptr) == f) break;
        }
        out_ += text;
    }
    void raw(const char* s) { out_ += s; }
    void key(const char* name) {
        out_ += '"';
        out_ += name;
        out_ += "\": ";
    }
    std::string& str() { return out_; }

  private:
    std::string out_;
};

template <typename Record, typename WriteRecord>
void writeArray(JsonWriter& w, const char* name, const Record* records, int32_t count,
                WriteRecord writeRecord) {
    w.raw(",\n  ");
    w.key(name);
    w.raw("[");
    for (int32_t i = 0; i < count; ++i) {
        w.raw(i == 0 ? "\n    {" : ",\n    {");
        writeRecord(records[i]);
        w.raw("}");
    }
    w.raw(count > 0 ? "\n  ]" : "]");
}

} // namespace

std::string dataStoreAsJson(const DataStore& d) {
    JsonWriter w;
    auto field = [&](const char* name, const char* value, bool first = false) {
        if (!first) w.raw(", ");
        w.key(name);
        w.text(value);
    };
    auto integer = [&](const char* name, long long value) {
        w.raw(", ");
        w.key(name);
        w.number(value);
    };
    w.raw("{\n  ");
    field("dataName", d.dataName, true);
    w.raw(",\n  ");
    field("titlePart1", d.titlePart1, true);
    w.raw(",\n  ");
    field("titlePart2", d.titlePart2, true);
    w.raw(",\n  ");
    field("updateDate", d.updateDate, true);
    writeArray(w, "companies", d.companies, d.companyCount, [&](const CompanyRecord& c) {
        field("name", c.name, true);
        field("phone", c.phone);
        field("fax", c.fax);
        field("contact", c.contact);
        field("address", c.address);
        field("postcode", c.postcode);
        field("website", c.website);
        field("email", c.email);
        field("bank", c.bank);
        field("account", c.account);
        field("taxNumber", c.taxNumber);
        field("busRoutes", c.busRoutes);
        w.raw(", ");
        w.key("introduction");
        if (c.introduction) {
            w.text(c.introduction);
        } else {
            w.raw("null");
        }
    });
    writeArray(w, "categories", d.categories, d.categoryCount, [&](const CategoryRecord& c) {
        field("name", c.name, true);
        integer("isGroup", c.isGroup);
    });
    writeArray(w, "treeNodes", d.treeNodes, d.treeNodeCount, [&](const TreeNodeRecord& n) {
        w.key("parent");
        w.number(n.parent);
        integer("category", n.category);
    });
    writeArray(w, "companyLinks", d.companyLinks, d.companyLinkCount, [&](const CompanyLink& l) {
        w.key("node");
        w.number(l.node);
        integer("company", l.company);
        field("linkText", l.linkText);
        integer("valid", l.valid);
    });
    writeArray(w, "products", d.products, d.productCount, [&](const ProductRecord& p) {
        w.key("node");
        w.number(p.node);
        integer("company", p.company);
        field("model", p.model);
        field("configuration", p.configuration);
        w.raw(", ");
        w.key("price");
        w.real(p.price);
        field("unit", p.unit);
        field("origin", p.origin);
        field("remarks", p.remarks);
        integer("valid", p.valid);
    });
    w.raw(",\n  ");
    w.key("expiredCount");
    w.number(d.expiredCount);
    w.raw("\n}\n");
    return w.str();
}
