// The list's CSV text.
#include "list_export.h"

namespace {

void appendField(std::string& csv, const std::string& utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
        csv += utf8;
        return;
    }
    csv += '"';
    for (char c : utf8) {
        if (c == '"') csv += '"';
        csv += c;
    }
    csv += '"';
}

void appendLine(std::string& csv, const std::vector<std::string>& cells, GbkToUtf8 toUtf8) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) csv += ',';
        appendField(csv, toUtf8(cells[i]));
    }
    csv += "\r\n";
}

} // namespace

std::string listToCsv(const std::vector<std::string>& titles,
                      const std::vector<std::vector<std::string>>& rows, GbkToUtf8 toUtf8) {
    std::string csv = "\xEF\xBB\xBF";
    appendLine(csv, titles, toUtf8);
    for (const std::vector<std::string>& row : rows)
        appendLine(csv, row, toUtf8);
    return csv;
}
