"""What a spreadsheet shows in each cell of an xlsx file, compared with the list's texts.

spreadsheet_cells.py BOOK.xlsx LIST.json csv|clipboard

LIST.json holds the list's titles and rows as the user saw them. A text cell shows its text; a
number shows as the general format would only when it is a whole number in that format; a truth
value, an error or a number in any other format shows something else, and fails. A line break,
CR LF or CR alone in the list, is a line feed in a spreadsheet's cell. "clipboard" compares with
the cells as the clipboard's table carries them: a tab as a space.
"""
import json
import re
import sys
import zipfile
import xml.etree.ElementTree as ET

NS = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"


def unescape(text):
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text or "")


def shown_cells(path):
    book = zipfile.ZipFile(path)
    shared = []
    if "xl/sharedStrings.xml" in book.namelist():
        for item in ET.fromstring(book.read("xl/sharedStrings.xml")).iter(NS + "si"):
            shared.append(unescape("".join(t.text or "" for t in item.iter(NS + "t"))))
    styles = ET.fromstring(book.read("xl/styles.xml"))
    codes = {0: "General"}
    for number_format in styles.iter(NS + "numFmt"):
        codes[int(number_format.get("numFmtId"))] = number_format.get("formatCode")
    formats = [codes.get(int(xf.get("numFmtId", "0")), xf.get("numFmtId"))
               for xf in styles.find(NS + "cellXfs").iter(NS + "xf")]
    cells = {}
    for cell in ET.fromstring(book.read("xl/worksheets/sheet1.xml")).iter(NS + "c"):
        kind = cell.get("t", "n")
        value = cell.find(NS + "v")
        value = value.text if value is not None else None
        if value is None:
            text = ""
        elif kind == "s":
            text = shared[int(value)]
        elif kind == "str":
            text = unescape(value)
        elif kind == "inlineStr":
            text = unescape("".join(t.text or "" for t in cell.iter(NS + "t")))
        elif kind == "n" and formats[int(cell.get("s", "0"))] == "General" and float(value).is_integer() \
                and abs(float(value)) < 1e11:
            text = str(int(float(value)))
        else:
            text = "<%s %s, format %s>" % (kind, value, formats[int(cell.get("s", "0"))])
        column = 0
        for letter in re.match(r"[A-Z]+", cell.get("r")).group(0):
            column = column * 26 + ord(letter) - ord("A") + 1
        cells[(int(re.search(r"\d+", cell.get("r")).group(0)) - 1, column - 1)] = text
    return cells


def main():
    book, listed, form = sys.argv[1:4]
    rows = json.load(open(listed, encoding="utf-8"))
    # A spreadsheet breaks a line with a line feed.
    rows = [[re.sub(r"\r\n?", "\n", cell) for cell in row] for row in rows]
    if form == "clipboard":
        rows = [[cell.replace("\t", " ") for cell in row] for row in rows]
    cells = shown_cells(book)
    wrong = 0
    for r, row in enumerate(rows):
        for c, expected in enumerate(row):
            shown = cells.pop((r, c), "")
            if shown != expected:
                wrong += 1
                print("row %d column %d: the list shows %r, the spreadsheet %r" % (r, c, expected, shown))
    for (r, c), shown in sorted(cells.items()):
        if shown:
            wrong += 1
            print("row %d column %d: a cell the list does not have: %r" % (r, c, shown))
    count = sum(len(row) for row in rows)
    print("%s: %d of %d cells as the list shows them" % (form, count - wrong, count))
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
