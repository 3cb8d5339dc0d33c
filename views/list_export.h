// The list as a spreadsheet takes it: RFC 4180 CSV in UTF-8 with a byte-order mark, so that
// Excel, WPS and LibreOffice open it with its Chinese texts, and the clipboard's forms.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "list_rows.h"

// GBK (code page 936) text to UTF-8; the program's code page functions on Windows, iconv
// elsewhere.
using GbkToUtf8 = std::string (*)(const std::string& gbk);

// Whether a spreadsheet opening a CSV file would show this cell (GBK) other than as written, or
// run it. The rule: a cell that begins with = + - or @ (a formula) or holds a tab; TRUE or FALSE
// in any case; and a cell with a digit that holds nothing but digits, spaces, the signs
// + - . , / : % ( ) $, the words E, AM, PM, A, P and English month names, and 年 月 日 时 分 秒
// 上 下 午 (fullwidth forms count as their ASCII letters), which a spreadsheet reads as a number,
// date, time, percentage or amount: digits beyond the 15th are lost, a leading 0 goes, "3.10"
// shows as 3.1, "3-10" as a date. Not a plain whole number of at most 11 digits without a
// leading 0, which every spreadsheet shows as written.
bool spreadsheetWouldAlter(std::string_view gbk);

// The byte-order mark, the line of column titles, then one line per row, the cells GBK texts in
// column order. A cell that a spreadsheet would alter is written as a text formula ="…", which
// every spreadsheet shows as exactly that text; its line breaks joined in as CHAR(10), since no
// spreadsheet evaluates a field of several lines. A field that holds a comma, a double quote,
// CR or LF is put in double quotes, its quotes doubled; every line ends in CR LF. An empty list
// gives the title line alone.
std::string listToCsv(const std::vector<std::string>& titles,
                      const std::vector<std::vector<std::string>>& rows, GbkToUtf8 toUtf8);

// The rows as a spreadsheet or a mail takes them from the clipboard: the line of column titles,
// then one line per row, cells separated by tabs, every line ending in CR LF. A tab or line
// break inside a cell becomes a space, so that it cannot split the row.
std::string listToTabText(const std::vector<std::string>& titles,
                          const std::vector<std::vector<std::string>>& rows);

// The same rows as the clipboard's "HTML Format": its header of byte offsets, then a UTF-8
// page with one table, the titles first. A table cell keeps its line breaks (a tab becomes a
// space). Every cell is marked as text, for Excel and WPS (mso-number-format) and for
// LibreOffice (sdnum), so a pasted digit string keeps its digits and nothing pasted runs as a
// formula.
std::string listToClipboardHtml(const std::vector<std::string>& titles,
                                const std::vector<std::vector<std::string>>& rows, GbkToUtf8 toUtf8);

// The name of what the list shows (GBK): "我的记事本" for the notebook; the category, or the
// company of a product list, of the tree item selected; the catalogue's title for the top level.
std::string shownListName(ListKind kind, TreeItemHandle selected);

// A file name proposed from a name (GBK): every character a file name cannot hold
// (\ / : * ? " < > | and control characters) becomes '_', double-byte characters are kept
// whole, trailing dots and spaces go, at most 150 bytes; "列表" when nothing is left; ".csv"
// appended.
std::string exportFileName(const std::string& name);
