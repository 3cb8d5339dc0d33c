// RFC 4180 CSV: fields separated by commas, records by line breaks, quoted fields may hold
// commas, quotes (doubled) and line breaks.
#pragma once

#include <string>
#include <vector>

struct CsvRecord {
    int line = 0; // line on which the record starts, from 1
    std::vector<std::string> fields;
};

struct CsvTable {
    std::vector<CsvRecord> records; // the header row first
    std::string error;              // empty when the text parsed
    int errorLine = 0;
};

// Parses text (a leading UTF-8 byte order mark is dropped); blank lines are skipped.
CsvTable parseCsv(const std::string& text);

// One record as a line of CSV ending in "\n", quoting only fields that need it.
std::string formatCsvRecord(const std::vector<std::string>& fields);
