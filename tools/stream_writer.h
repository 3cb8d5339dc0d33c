// Writes the database stream that the program loads from the raster file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue.h"

struct FieldError {
    std::string section; // "header", "company", "category", "link", "product"
    size_t index = 0;    // record index within its section
    std::string field;
    size_t length = 0; // bytes in GBK
    size_t limit = 0;
};

// Each field that is longer than the program's field for it; empty when the catalogue fits.
std::vector<FieldError> checkFieldLengths(const Catalogue& catalogue);

// The stream bytes, or nothing (and errors filled) when a text does not fit its field.
bool writeDatabaseStream(const Catalogue& catalogue, std::vector<uint8_t>& stream,
                         std::vector<FieldError>& errors);
