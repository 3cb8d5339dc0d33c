// The list's CSV text.
#include "list_export.h"

#include <string_view>

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

namespace {

void appendTabLine(std::string& text, const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) text += '\t';
        for (char c : cells[i])
            text += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    }
    text += "\r\n";
}

bool unfitForFileName(unsigned char c) {
    return c < 0x20 || c == 0x7F || std::string_view("\\/:*?\"<>|").find(char(c)) != std::string_view::npos;
}

} // namespace

std::string listToTabText(const std::vector<std::string>& titles,
                          const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    appendTabLine(text, titles);
    for (const std::vector<std::string>& row : rows)
        appendTabLine(text, row);
    return text;
}

std::string exportFileName(const std::string& addressPath) {
    constexpr size_t kLongest = 150;
    std::string name;
    for (size_t i = 0; i < addressPath.size();) {
        auto c = static_cast<unsigned char>(addressPath[i]);
        // A GBK lead byte and its trail byte, which may be '\\' or '|', stay together.
        size_t width = c >= 0x81 && c <= 0xFE && i + 1 < addressPath.size() ? 2 : 1;
        if (name.size() + width > kLongest) break;
        if (width == 2)
            name.append(addressPath, i, 2);
        else
            name += unfitForFileName(c) || c >= 0x80 ? '_' : char(c);
        i += width;
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    if (name.empty()) name = "列表";
    return name + ".csv";
}
