// The catalogue's source form: five UTF-8 CSV files in one folder, as a spreadsheet exports them.
//
//   catalogue.csv  dataName, titlePart1, titlePart2, updateDate, updateHost (one row)
//   companies.csv  key, name, phone, fax, contact, address, postcode, website, email, bank,
//                  account, taxNumber, busRoutes, introduction
//   tree.csv       path ("台式电脑/联想"), holds ("categories" or "companies")
//   listings.csv   company, node, linkText, expires (YYYY-MM-DD; empty: never)
//   products.csv   company, node, model, configuration, price (yuan; empty: on request), unit,
//                  origin, remarks, expires
#pragma once

#include <string>
#include <vector>

#include "catalogue.h"

// Company indexes run 0..29999; the program takes 30000 to mean no company.
inline constexpr size_t kMaxCompanies = 30000;

struct CatalogueSource {
    Catalogue catalogue;    // texts in GBK, links grouped by node, products by company
    std::string updateHost; // empty: keep the program image's own
};

struct SourceReport {
    std::vector<std::string> errors; // "file:line: field: what is wrong"
    std::vector<std::string> warnings;
};

// Reads and checks the whole source in folder (a narrow path, see tool_files.h); every error is
// reported. Returns true when there is none.
bool readCatalogueSource(const std::string& folder, CatalogueSource& source, SourceReport& report);

// Writes the catalogue back in the source form (company keys are made from the positions),
// making the folder when it is missing; each file replaces the old one only once complete.
// Expiry texts that are not dates are written as they stand. Returns false on a write error.
bool writeCatalogueSource(const std::string& folder, const CatalogueSource& source, std::string& error);

// "YYYY-MM-DD" -> "YYMMDD" for dates from 2000 to 2099; empty stays empty. False otherwise.
bool expiryFromDate(const std::string& date, std::string& expiry);
// "YYMMDD" -> "YYYY-MM-DD"; anything else is returned unchanged.
std::string dateFromExpiry(const std::string& expiry);

// The shortest decimal text that reads back as the same single-precision value; empty for 0.
std::string priceText(float price);
