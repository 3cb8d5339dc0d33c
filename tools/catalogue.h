// A catalogue as the stream writer takes it: texts already in GBK, records addressed by index.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CompanySource {
    std::string name, phone, fax, contact, address, postcode, website, email, bank, account, taxNumber,
        busRoutes;
    std::string introduction;
};

struct CategorySource {
    std::string name;
    bool isGroup = false;
};

struct TreeNodeSource {
    int32_t parent = -1; // node index, -1 at the top level
    int32_t category = 0;
};

struct LinkSource {
    int32_t node = 0, company = 0;
    std::string linkText;
    std::string expiry; // YYMMDD
};

struct ProductSource {
    int32_t company = 0, node = 0;
    std::string model, configuration;
    float price = 0; // 0: no price
    std::string unit, origin, remarks;
    std::string expiry; // YYMMDD
};

struct Catalogue {
    std::string dataName, titlePart1, titlePart2, updateDate;
    std::vector<CompanySource> companies;
    std::vector<CategorySource> categories;
    std::vector<TreeNodeSource> treeNodes;
    std::vector<LinkSource> links;
    std::vector<ProductSource> products;
};

// The longest text in bytes that each stream field may carry (its capacity less the terminator).
namespace fieldLimit {
inline constexpr size_t dataName = 31, titlePart = 19, updateDate = 11;
inline constexpr size_t name = 59, phone = 44, contact = 19, fax = 14, website = 29, email = 29, address = 49,
                        postcode = 6, bank = 29, account = 29, taxNumber = 29, busRoutes = 29;
inline constexpr size_t categoryName = 31, linkText = 19, expiry = 6;
inline constexpr size_t model = 29, configuration = 101, unit = 5, origin = 7, remarks = 21;
} // namespace fieldLimit

// A company's short texts, in the order of the stream and of the columns of companies.csv.
struct CompanyText {
    const char* column;
    std::string CompanySource::*member;
    size_t limit;
};
inline constexpr CompanyText kCompanyTexts[] = {
    {"name", &CompanySource::name, fieldLimit::name},
    {"phone", &CompanySource::phone, fieldLimit::phone},
    {"fax", &CompanySource::fax, fieldLimit::fax},
    {"contact", &CompanySource::contact, fieldLimit::contact},
    {"address", &CompanySource::address, fieldLimit::address},
    {"postcode", &CompanySource::postcode, fieldLimit::postcode},
    {"website", &CompanySource::website, fieldLimit::website},
    {"email", &CompanySource::email, fieldLimit::email},
    {"bank", &CompanySource::bank, fieldLimit::bank},
    {"account", &CompanySource::account, fieldLimit::account},
    {"taxNumber", &CompanySource::taxNumber, fieldLimit::taxNumber},
    {"busRoutes", &CompanySource::busRoutes, fieldLimit::busRoutes},
};
