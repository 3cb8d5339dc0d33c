// The CSV reader and writer of the catalogue source files.
#include "csv.h"

CsvTable parseCsv(const std::string& input) {
    CsvTable table;
    size_t pos = input.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    int line = 1;
    while (pos < input.size()) {
        CsvRecord record;
        record.line = line;
        std::string field;
        bool atRecordEnd = false;
        while (!atRecordEnd) {
            field.clear();
            if (pos < input.size() && input[pos] == '"') {
                int quoteLine = line;
                ++pos;
                for (;;) {
                    if (pos >= input.size()) {
                        table.error = "a quoted field is not closed";
                        table.errorLine = quoteLine;
                        return table;
                    }
                    char c = input[pos++];
                    if (c == '"') {
                        if (pos < input.size() && input[pos] == '"') {
                            field += '"';
                            ++pos;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n') ++line;
                    field += c;
                }
                if (pos < input.size() && input[pos] != ',' && input[pos] != '\r' && input[pos] != '\n') {
                    table.error = "text after the closing quote of a field";
                    table.errorLine = line;
                    return table;
                }
            } else {
                while (pos < input.size() && input[pos] != ',' && input[pos] != '\r' && input[pos] != '\n') {
                    if (input[pos] == '"') {
                        table.error = "a quote inside an unquoted field";
                        table.errorLine = line;
                        return table;
                    }
                    field += input[pos++];
                }
            }
            record.fields.push_back(field);
            if (pos < input.size() && input[pos] == ',') {
                ++pos;
                continue;
            }
            if (pos < input.size() && input[pos] == '\r') ++pos;
            if (pos < input.size() && input[pos] == '\n') ++pos;
            ++line;
            atRecordEnd = true;
        }
        bool blank = record.fields.size() == 1 && record.fields[0].empty();
        if (!blank) table.records.push_back(std::move(record));
    }
    return table;
}

std::string formatCsvRecord(const std::vector<std::string>& fields) {
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        const std::string& f = fields[i];
        bool quote = f.find_first_of(",\"\r\n") != std::string::npos ||
                     (!f.empty() && (f.front() == ' ' || f.back() == ' '));
        if (!quote) {
            out += f;
            continue;
        }
        out += '"';
        for (char c : f) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    out += '\n';
    return out;
}
