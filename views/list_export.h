// The list as a spreadsheet file: RFC 4180 CSV in UTF-8 with a byte-order mark, so that Excel
// and WPS open it with its Chinese texts.
#pragma once

#include <string>
#include <vector>

// GBK (code page 936) text to UTF-8; the program's code page functions on Windows, iconv
// elsewhere.
using GbkToUtf8 = std::string (*)(const std::string& gbk);

// The byte-order mark, the line of column titles, then one line per row, the cells GBK texts in
// column order. A field that holds a comma, a double quote, CR or LF is put in double quotes,
// its quotes doubled; every line ends in CR LF. An empty list gives the title line alone.
std::string listToCsv(const std::vector<std::string>& titles,
                      const std::vector<std::vector<std::string>>& rows, GbkToUtf8 toUtf8);
