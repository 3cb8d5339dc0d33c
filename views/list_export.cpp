// The list's CSV text, its clipboard texts and the name it is saved under.
#include "list_export.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "gbktext.h"
#include "tree_model.h"

bool spreadsheetWouldAlter(std::string_view gbk) {
    if (gbk.empty()) return false;
    // The text as a spreadsheet's value reader sees it: GBK's fullwidth forms (row A3, where A3A4
    // is ￥) as ASCII, € (0x80 in code page 936) as $, the date and time characters as '/', any
    // other double-byte character as a byte no value holds.
    constexpr std::string_view kDateCharacters = "年月日时分秒上下午";
    std::string text;
    for (size_t i = 0; i < gbk.size(); ++i) {
        auto lead = static_cast<unsigned char>(gbk[i]);
        if (!isGbkLeadByte(lead) || i + 1 == gbk.size()) {
            text += lead == 0x80 ? '$' : gbk[i];
            continue;
        }
        auto trail = static_cast<unsigned char>(gbk[++i]);
        bool dateCharacter = false;
        for (size_t k = 0; k + 1 < kDateCharacters.size(); k += 2)
            dateCharacter = dateCharacter || kDateCharacters.substr(k, 2) == gbk.substr(i - 1, 2);
        text += lead == 0xA3 && trail >= 0xA1 ? char(trail - 0x80) : dateCharacter ? '/' : '\x81';
    }
    if (std::string_view("=+-@").find(text[0]) != std::string_view::npos ||
        text.find('\t') != std::string::npos)
        return true;
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    std::string core = text.substr(first, text.find_last_not_of(' ') + 1 - first);
    std::transform(core.begin(), core.end(), core.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
    if (core == "true" || core == "false") return true;
    constexpr std::string_view kWords =
        " e a p am pm jan feb mar apr may jun jul aug sep sept oct nov dec january "
        "february march april june july august september october november december ";
    bool digits = false;
    for (size_t i = 0; i < core.size();) {
        size_t end = i + 1;
        if (core[i] >= 'a' && core[i] <= 'z') {
            while (end < core.size() && core[end] >= 'a' && core[end] <= 'z')
                ++end;
            if (kWords.find(" " + core.substr(i, end - i) + " ") == std::string_view::npos) return false;
        } else if (core[i] >= '0' && core[i] <= '9') {
            digits = true;
        } else if (std::string_view(" +-./:,%()$").find(core[i]) == std::string_view::npos) {
            return false;
        }
        i = end;
    }
    bool plainWholeNumber = gbk.size() <= 11 && gbk[0] != '0' &&
                            std::all_of(gbk.begin(), gbk.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits && !plainWholeNumber;
}

namespace {

// ="…" with the text's quotes doubled and each line break (CR LF, CR or LF) joined in as the
// line feed that breaks a line in a spreadsheet's cell.
std::string textFormula(const std::string& utf8) {
    std::string formula = "=\"";
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '"')
            formula += "\"\"";
        else if (utf8[i] == '\n' || (utf8[i] == '\r' && (i + 1 == utf8.size() || utf8[i + 1] != '\n')))
            formula += "\"&CHAR(10)&\"";
        else if (utf8[i] != '\r')
            formula += utf8[i];
    }
    return formula + '"';
}

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
        std::string utf8 = toUtf8(cells[i]);
        appendField(csv, spreadsheetWouldAlter(cells[i]) ? textFormula(utf8) : utf8);
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

// A cell as the clipboard carries it: on one line.
std::string oneLine(const std::string& cell) {
    std::string text = cell;
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

void appendTabLine(std::string& text, const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) text += '\t';
        text += oneLine(cells[i]);
    }
    text += "\r\n";
}

void appendHtmlRow(std::string& html, const std::vector<std::string>& cells, GbkToUtf8 toUtf8) {
    html += "<tr>";
    for (const std::string& cell : cells) {
        html += "<td style=\"mso-number-format:'\\@'\" sdnum=\"2052;0;@\">";
        std::string utf8 = toUtf8(cell);
        for (size_t i = 0; i < utf8.size(); ++i) {
            switch (utf8[i]) {
            case '&': html += "&amp;"; break;
            case '<': html += "&lt;"; break;
            case '>': html += "&gt;"; break;
            case '"': html += "&quot;"; break;
            case '\t': html += ' '; break;
            case '\r':
                if (i + 1 < utf8.size() && utf8[i + 1] == '\n') break;
                [[fallthrough]];
            case '\n': html += "<br style=\"mso-data-placement:same-cell\">"; break;
            default: html += utf8[i];
            }
        }
        html += "</td>";
    }
    html += "</tr>\r\n";
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

std::string listToClipboardHtml(const std::vector<std::string>& titles,
                                const std::vector<std::vector<std::string>>& rows, GbkToUtf8 toUtf8) {
    // The header gives the page's and the table's place in bytes from its own start; its numbers
    // have a fixed width, so its length is known before they are.
    constexpr const char* kHeader = "Version:0.9\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\n"
                                    "StartFragment:%010zu\r\nEndFragment:%010zu\r\n";
    std::string page = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
                       "</head><body>\r\n<!--StartFragment--><table>\r\n";
    appendHtmlRow(page, titles, toUtf8);
    for (const std::vector<std::string>& row : rows)
        appendHtmlRow(page, row, toUtf8);
    page += "</table><!--EndFragment-->\r\n</body></html>\r\n";
    char header[128];
    const size_t start =
        size_t(std::snprintf(header, sizeof header, kHeader, size_t(0), size_t(0), size_t(0), size_t(0)));
    const size_t fragmentStart = start + page.find("<table>");
    const size_t fragmentEnd = start + page.find("<!--EndFragment-->");
    std::snprintf(header, sizeof header, kHeader, start, start + page.size(), fragmentStart, fragmentEnd);
    return header + page;
}

std::string shownListName(ListKind kind, TreeItemHandle selected) {
    auto text = [](const char* field, size_t capacity) {
        return std::string(field, fieldTextLength(field, capacity));
    };
    if (kind == kNotebook) return "我的记事本";
    if (kind == kTopCategories) {
        std::string title = text(dataStore.titlePart1, sizeof dataStore.titlePart1);
        std::string second = text(dataStore.titlePart2, sizeof dataStore.titlePart2);
        return title.empty() || second.empty() ? title + second : title + "-" + second;
    }
    if (int32_t node = nodeIndexOfItem(selected); node >= 0) {
        const char* name = categoryNameOfNode(node);
        return text(name, std::strlen(name));
    }
    if (int32_t company = companyOfTreeItem(selected); company != kNoCompany)
        return text(dataStore.companies[company].name, sizeof dataStore.companies[company].name);
    return {};
}

std::string exportFileName(const std::string& name) {
    constexpr size_t kLongest = 150;
    std::string fileName;
    for (size_t i = 0; i < name.size();) {
        auto c = static_cast<unsigned char>(name[i]);
        // A GBK lead byte and its trail byte, which may be '\\' or '|', stay together.
        size_t width = c >= 0x81 && c <= 0xFE && i + 1 < name.size() ? 2 : 1;
        if (fileName.size() + width > kLongest) break;
        if (width == 2)
            fileName.append(name, i, 2);
        else
            fileName += unfitForFileName(c) || c >= 0x80 ? '_' : char(c);
        i += width;
    }
    while (!fileName.empty() && (fileName.back() == '.' || fileName.back() == ' '))
        fileName.pop_back();
    if (fileName.empty()) fileName = "列表";
    return fileName + ".csv";
}
