// Reading, checking and writing the catalogue's CSV source form.
#include "catalogue_source.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "csv.h"
#include "filetime.h"
#include "textcodec.h"
#include "tool_files.h"

namespace {

// One CSV file with its columns looked up by name.
class SourceFile {
  public:
    SourceFile(const std::string& folder, std::string name, std::vector<std::string> columns,
               SourceReport& report)
        : name_(std::move(name)), report_(report) {
        std::string text;
        if (!readFileText(pathIn(folder, name_), text)) {
            report_.errors.push_back(name_ + ": cannot be read");
            return;
        }
        CsvTable table = parseCsv(text);
        if (!table.error.empty()) {
            report_.errors.push_back(name_ + ":" + std::to_string(table.errorLine) + ": " + table.error);
            return;
        }
        if (table.records.empty()) {
            report_.errors.push_back(name_ + ":1: the header row is missing");
            return;
        }
        const std::vector<std::string>& header = table.records[0].fields;
        for (const std::string& column : columns) {
            auto at = std::find(header.begin(), header.end(), column);
            if (at == header.end()) {
                report_.errors.push_back(name_ + ":1: the column \"" + column + "\" is missing");
                return;
            }
            index_[column] = size_t(at - header.begin());
        }
        table.records.erase(table.records.begin());
        rows_ = std::move(table.records);
        ok_ = true;
    }

    bool ok() const { return ok_; }
    const std::vector<CsvRecord>& rows() const { return rows_; }
    const std::string& name() const { return name_; }

    std::string get(const CsvRecord& row, const std::string& column) const {
        size_t i = index_.at(column);
        return i < row.fields.size() ? row.fields[i] : std::string();
    }
    void error(const CsvRecord& row, const std::string& column, const std::string& what) const {
        report_.errors.push_back(name_ + ":" + std::to_string(row.line) + ": " + column + ": " + what);
    }
    void warning(const CsvRecord& row, const std::string& column, const std::string& what) const {
        report_.warnings.push_back(name_ + ":" + std::to_string(row.line) + ": " + column + ": " + what);
    }

    // The column's text in GBK, checked against the field's limit.
    std::string text(const CsvRecord& row, const std::string& column, size_t limit) const {
        std::string gbk, bad;
        if (!utf8ToGbk(get(row, column), gbk, bad)) {
            error(row, column, "the character \"" + bad + "\" cannot be written in GBK");
            return {};
        }
        if (gbk.size() > limit) {
            error(row, column,
                  std::to_string(gbk.size()) + " bytes in GBK, but the field holds at most " +
                      std::to_string(limit));
            return {};
        }
        return gbk;
    }
    std::string expiry(const CsvRecord& row, const std::string& column) const {
        std::string value = get(row, column), out;
        if (!expiryFromDate(value, out))
            error(row, column, "\"" + value + "\" is not a date YYYY-MM-DD from 2000-01-01 to 2099-12-31");
        return out;
    }

  private:
    std::string name_;
    SourceReport& report_;
    std::map<std::string, size_t> index_;
    std::vector<CsvRecord> rows_;
    bool ok_ = false;
};

struct NodeInfo {
    int32_t index;
    bool holdsCategories;
};

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> labels;
    size_t start = 0;
    for (;;) {
        size_t slash = path.find('/', start);
        labels.push_back(path.substr(start, slash - start));
        if (slash == std::string::npos) return labels;
        start = slash + 1;
    }
}

std::vector<std::string> companyColumns() {
    std::vector<std::string> columns{"key"};
    for (const CompanyText& t : kCompanyTexts)
        columns.push_back(t.column);
    columns.push_back("introduction");
    return columns;
}

void readHeader(const SourceFile& file, CatalogueSource& source) {
    if (file.rows().size() != 1) {
        CsvRecord where;
        where.line = file.rows().empty() ? 1 : file.rows()[1].line;
        file.error(where, "dataName",
                   "catalogue.csv holds exactly one row under its header, found " +
                       std::to_string(file.rows().size()));
        if (file.rows().empty()) return;
    }
    const CsvRecord& row = file.rows()[0];
    Catalogue& c = source.catalogue;
    c.dataName = file.text(row, "dataName", fieldLimit::dataName);
    c.titlePart1 = file.text(row, "titlePart1", fieldLimit::titlePart);
    c.titlePart2 = file.text(row, "titlePart2", fieldLimit::titlePart);
    c.updateDate = file.text(row, "updateDate", fieldLimit::updateDate);
    source.updateHost = file.text(row, "updateHost", 59);
    if (file.get(row, "dataName").empty()) file.error(row, "dataName", "the data set needs a name");
}

std::map<std::string, int32_t> readCompanies(const SourceFile& file, Catalogue& c) {
    std::map<std::string, int32_t> keys;
    for (const CsvRecord& row : file.rows()) {
        std::string key = file.get(row, "key");
        if (key.empty()) {
            file.error(row, "key", "every company needs a key");
            continue;
        }
        if (!keys.emplace(key, int32_t(c.companies.size())).second) {
            file.error(row, "key", "the key \"" + key + "\" is used twice");
            continue;
        }
        CompanySource k;
        for (const CompanyText& t : kCompanyTexts)
            k.*t.member = file.text(row, t.column, t.limit);
        k.introduction = file.text(row, "introduction", size_t(INT32_MAX));
        if (!k.website.empty() && k.website.find("://") == std::string::npos)
            file.warning(
                row, "website",
                "\"" + file.get(row, "website") +
                    "\" has no scheme such as http://; the program hands it to the shell as it stands");
        c.companies.push_back(std::move(k));
    }
    if (c.companies.size() > kMaxCompanies)
        file.error(file.rows()[kMaxCompanies], "key",
                   std::to_string(c.companies.size()) + " companies, but a catalogue holds at most " +
                       std::to_string(kMaxCompanies));
    return keys;
}

std::map<std::string, NodeInfo> readTree(const SourceFile& file, Catalogue& c) {
    std::map<std::string, NodeInfo> nodes;
    std::map<std::pair<std::string, bool>, int32_t> categories;
    std::map<std::string, int> allPaths; // path -> line, to tell a late parent from a missing one
    for (const CsvRecord& row : file.rows())
        allPaths.emplace(file.get(row, "path"), row.line);

    for (const CsvRecord& row : file.rows()) {
        std::string path = file.get(row, "path");
        std::string holds = file.get(row, "holds");
        bool holdsCategories = holds == "categories";
        if (!holdsCategories && holds != "companies") {
            file.error(row, "holds", "\"" + holds + "\" is neither \"categories\" nor \"companies\"");
            continue;
        }
        std::vector<std::string> labels = splitPath(path);
        if (std::any_of(labels.begin(), labels.end(), [](const std::string& l) { return l.empty(); })) {
            file.error(row, "path", "\"" + path + "\" has an empty label");
            continue;
        }
        if (nodes.count(path)) {
            file.error(row, "path", "\"" + path + "\" is listed twice");
            continue;
        }
        int32_t parent = -1;
        if (labels.size() > 1) {
            std::string parentPath = path.substr(0, path.rfind('/'));
            auto found = nodes.find(parentPath);
            if (found == nodes.end()) {
                auto later = allPaths.find(parentPath);
                file.error(row, "path",
                           later != allPaths.end() && later->second > row.line
                               ? "the parent \"" + parentPath + "\" comes after its child (line " +
                                     std::to_string(later->second) + "); list parents first"
                               : "the parent \"" + parentPath + "\" is not in the tree");
                continue;
            }
            if (!found->second.holdsCategories) {
                file.error(row, "path", "the parent \"" + parentPath + "\" holds companies, not categories");
                continue;
            }
            parent = found->second.index;
        }
        std::string gbkLabel, bad;
        if (!utf8ToGbk(labels.back(), gbkLabel, bad)) {
            file.error(row, "path", "the character \"" + bad + "\" cannot be written in GBK");
            continue;
        }
        if (gbkLabel.size() > fieldLimit::categoryName) {
            file.error(row, "path",
                       "the label \"" + labels.back() + "\" is " + std::to_string(gbkLabel.size()) +
                           " bytes in GBK, but a category name holds at most " +
                           std::to_string(fieldLimit::categoryName));
            continue;
        }
        auto category =
            categories.emplace(std::make_pair(gbkLabel, holdsCategories), int32_t(c.categories.size()));
        if (category.second) c.categories.push_back({gbkLabel, holdsCategories});
        nodes[path] = {int32_t(c.treeNodes.size()), holdsCategories};
        c.treeNodes.push_back({parent, category.first->second});
    }
    return nodes;
}

// Finds the company and the company-holding node of a listing or product row.
bool lookUp(const SourceFile& file, const CsvRecord& row, const std::map<std::string, int32_t>& companies,
            const std::map<std::string, NodeInfo>& nodes, int32_t& company, int32_t& node) {
    bool ok = true;
    std::string key = file.get(row, "company"), path = file.get(row, "node");
    auto k = companies.find(key);
    if (k == companies.end()) {
        file.error(row, "company", "no company has the key \"" + key + "\"");
        ok = false;
    } else {
        company = k->second;
    }
    auto n = nodes.find(path);
    if (n == nodes.end()) {
        file.error(row, "node", "the tree has no node \"" + path + "\"");
        ok = false;
    } else if (n->second.holdsCategories) {
        file.error(row, "node", "\"" + path + "\" holds categories, not companies");
        ok = false;
    } else {
        node = n->second.index;
    }
    return ok;
}

bool parsePrice(const std::string& text, float& price) {
    price = 0;
    if (text.empty()) return true;
    const char* begin = text.c_str();
    char* end = nullptr;
    float value = std::strtof(begin, &end);
    if (end == begin || *end != '\0' || !std::isfinite(value) || value < 0 ||
        text.find_first_not_of("0123456789.") != std::string::npos)
        return false;
    price = value;
    return true;
}

} // namespace

bool expiryFromDate(const std::string& date, std::string& expiry) {
    expiry.clear();
    if (date.empty()) return true;
    int y, m, d;
    char tail;
    if (date.size() != 10 || date[4] != '-' || date[7] != '-' ||
        std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3 ||
        date.find_first_not_of("0123456789-") != std::string::npos)
        return false;
    // The same calendar the program checks expiry dates with.
    if (y < 2000 || y > 2099 || !localTimeToTicks(LocalTime{y, m, d, 12, 0, 0, 0})) return false;
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d", y - 2000, m, d);
    expiry = text;
    return true;
}

std::string dateFromExpiry(const std::string& expiry) {
    if (expiry.size() != 6 || expiry.find_first_not_of("0123456789") != std::string::npos) return expiry;
    return "20" + expiry.substr(0, 2) + "-" + expiry.substr(2, 2) + "-" + expiry.substr(4, 2);
}

std::string priceText(float price) {
    if (price == 0) return {};
    // Plain decimals read best in a spreadsheet; the exponent form only for odd values.
    char fixed[64];
    for (int decimals = 0; decimals <= 9; ++decimals) {
        std::snprintf(fixed, sizeof fixed, "%.*f", decimals, double(price));
        if (std::strtof(fixed, nullptr) == price) return fixed;
    }
    std::snprintf(fixed, sizeof fixed, "%.9g", double(price));
    return fixed;
}

bool readCatalogueSource(const std::string& folder, CatalogueSource& source, SourceReport& report) {
    source = CatalogueSource{};
    Catalogue& c = source.catalogue;
    // One file at a time, so that only one file's text is held beside the catalogue.
    bool companiesOk = false, treeOk = false;
    std::map<std::string, int32_t> companies;
    std::map<std::string, NodeInfo> nodes;
    {
        SourceFile header(folder, "catalogue.csv",
                          {"dataName", "titlePart1", "titlePart2", "updateDate", "updateHost"}, report);
        if (header.ok()) readHeader(header, source);
    }
    {
        SourceFile companyFile(folder, "companies.csv", companyColumns(), report);
        companiesOk = companyFile.ok();
        if (companiesOk) companies = readCompanies(companyFile, c);
    }
    {
        SourceFile treeFile(folder, "tree.csv", {"path", "holds"}, report);
        treeOk = treeFile.ok();
        if (treeOk) nodes = readTree(treeFile, c);
    }
    {
        SourceFile listingFile(folder, "listings.csv", {"company", "node", "linkText", "expires"}, report);
        if (listingFile.ok() && companiesOk && treeOk) {
            for (const CsvRecord& row : listingFile.rows()) {
                LinkSource link;
                bool found = lookUp(listingFile, row, companies, nodes, link.company, link.node);
                link.linkText = listingFile.text(row, "linkText", fieldLimit::linkText);
                link.expiry = listingFile.expiry(row, "expires");
                if (found) c.links.push_back(std::move(link));
            }
        }
    }
    {
        SourceFile productFile(
            folder, "products.csv",
            {"company", "node", "model", "configuration", "price", "unit", "origin", "remarks", "expires"},
            report);
        if (productFile.ok() && companiesOk && treeOk) {
            for (const CsvRecord& row : productFile.rows()) {
                ProductSource p;
                bool found = lookUp(productFile, row, companies, nodes, p.company, p.node);
                p.model = productFile.text(row, "model", fieldLimit::model);
                p.configuration = productFile.text(row, "configuration", fieldLimit::configuration);
                if (!parsePrice(productFile.get(row, "price"), p.price))
                    productFile.error(row, "price",
                                      "\"" + productFile.get(row, "price") +
                                          "\" is not a price in yuan such as 1288 or 1288.50");
                p.unit = productFile.text(row, "unit", fieldLimit::unit);
                p.origin = productFile.text(row, "origin", fieldLimit::origin);
                p.remarks = productFile.text(row, "remarks", fieldLimit::remarks);
                p.expiry = productFile.expiry(row, "expires");
                if (found) c.products.push_back(std::move(p));
            }
        }
    }

    // The lists show a node's companies and a company's products as one run of records.
    std::stable_sort(c.links.begin(), c.links.end(),
                     [](const LinkSource& a, const LinkSource& b) { return a.node < b.node; });
    std::stable_sort(c.products.begin(), c.products.end(),
                     [](const ProductSource& a, const ProductSource& b) { return a.company < b.company; });
    return report.errors.empty();
}

bool writeCatalogueSource(const std::string& folder, const CatalogueSource& source, std::string& error) {
    const Catalogue& c = source.catalogue;
    if (!makeFolders(folder, error)) return false;
    auto u = [](const std::string& gbk) { return gbkToUtf8(gbk); };
    int width = std::max<int>(4, int(std::to_string(c.companies.size()).size()));
    auto key = [&](int32_t index) {
        std::string digits = std::to_string(index + 1);
        return "C" + std::string(size_t(std::max(0, width - int(digits.size()))), '0') + digits;
    };
    std::vector<std::string> paths(c.treeNodes.size());
    for (size_t i = 0; i < c.treeNodes.size(); ++i) {
        const TreeNodeSource& n = c.treeNodes[i];
        std::string label = n.category >= 0 && size_t(n.category) < c.categories.size()
                                ? u(c.categories[size_t(n.category)].name)
                                : "";
        paths[i] = n.parent >= 0 && size_t(n.parent) < i ? paths[size_t(n.parent)] + "/" + label : label;
    }
    auto pathOf = [&](int32_t node) {
        return node >= 0 && size_t(node) < paths.size() ? paths[size_t(node)] : std::to_string(node);
    };
    auto keyOf = [&](int32_t company) {
        return company >= 0 && size_t(company) < c.companies.size() ? key(company) : std::to_string(company);
    };

    std::map<std::string, std::string> files;
    files["catalogue.csv"] =
        formatCsvRecord({"dataName", "titlePart1", "titlePart2", "updateDate", "updateHost"}) +
        formatCsvRecord(
            {u(c.dataName), u(c.titlePart1), u(c.titlePart2), u(c.updateDate), u(source.updateHost)});
    std::string& companies = files["companies.csv"];
    companies = formatCsvRecord(companyColumns());
    for (size_t i = 0; i < c.companies.size(); ++i) {
        const CompanySource& k = c.companies[i];
        std::vector<std::string> fields{key(int32_t(i))};
        for (const CompanyText& t : kCompanyTexts)
            fields.push_back(u(k.*t.member));
        fields.push_back(u(k.introduction));
        companies += formatCsvRecord(fields);
    }
    std::string& tree = files["tree.csv"];
    tree = formatCsvRecord({"path", "holds"});
    for (size_t i = 0; i < c.treeNodes.size(); ++i) {
        int32_t cat = c.treeNodes[i].category;
        bool group = cat >= 0 && size_t(cat) < c.categories.size() && c.categories[size_t(cat)].isGroup;
        tree += formatCsvRecord({paths[i], group ? "categories" : "companies"});
    }
    std::string& listings = files["listings.csv"];
    listings = formatCsvRecord({"company", "node", "linkText", "expires"});
    for (const LinkSource& l : c.links)
        listings +=
            formatCsvRecord({keyOf(l.company), pathOf(l.node), u(l.linkText), dateFromExpiry(l.expiry)});
    std::string& products = files["products.csv"];
    products = formatCsvRecord(
        {"company", "node", "model", "configuration", "price", "unit", "origin", "remarks", "expires"});
    for (const ProductSource& p : c.products)
        products += formatCsvRecord({keyOf(p.company), pathOf(p.node), u(p.model), u(p.configuration),
                                     priceText(p.price), u(p.unit), u(p.origin), u(p.remarks),
                                     dateFromExpiry(p.expiry)});

    for (const auto& [name, text] : files)
        if (!writeFileReplacing(pathIn(folder, name), text.data(), text.size(), error)) return false;
    return true;
}
