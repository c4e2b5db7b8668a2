#!/usr/bin/python3
# Prints the sheets and cells of a spreadsheet file as JSON, read by libraries that share no
# code with the program: xlrd for .xls, openpyxl for .xlsx. Run it with Debian's python3
# (/usr/bin/python3), which has both.
#
# {"sheets": [{"name", "rows", "columns", "cells": [[row, column, type, value], ...],
#              "font": {"name", "bold", "points"} of cell A1 (.xls only)}]}
# type: "text", "number" or "date"; a date is [year, month, day, hour, minute, second]
# (a time of day alone has year 0). Empty cells are left out.
import datetime
import json
import re
import sys


def date_parts(value):
    if isinstance(value, datetime.datetime):
        value = value + datetime.timedelta(microseconds=500000)
        if value.date() == datetime.date(1899, 12, 30):
            return [0, 0, 0, value.hour, value.minute, value.second]
        return [value.year, value.month, value.day, value.hour, value.minute, value.second]
    if isinstance(value, datetime.date):
        return [value.year, value.month, value.day, 0, 0, 0]
    if isinstance(value, datetime.time):
        return [0, 0, 0, value.hour, value.minute, value.second]
    raise ValueError(repr(value))


def unescape(text):
    # What a spreadsheet program does with the _xHHHH_ form of the package format.
    return re.sub(r'_x([0-9A-Fa-f]{4})_', lambda m: chr(int(m.group(1), 16)), text)


def read_xls(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    sheets = []
    for sheet in book.sheets():
        cells = []
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_TEXT:
                    cells.append([r, c, "text", cell.value])
                elif cell.ctype == xlrd.XL_CELL_NUMBER:
                    cells.append([r, c, "number", cell.value])
                elif cell.ctype == xlrd.XL_CELL_DATE:
                    cells.append([r, c, "date", list(xlrd.xldate_as_tuple(cell.value, book.datemode))])
                elif cell.ctype not in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    cells.append([r, c, "ctype%d" % cell.ctype, repr(cell.value)])
        entry = {"name": sheet.name, "rows": sheet.nrows, "columns": sheet.ncols, "cells": cells}
        if sheet.nrows and sheet.ncols:
            font = book.font_list[book.xf_list[sheet.cell_xf_index(0, 0)].font_index]
            entry["font"] = {"name": font.name, "bold": bool(font.bold), "points": font.height / 20}
        sheets.append(entry)
    return sheets


def read_xlsx(path):
    import openpyxl
    book = openpyxl.load_workbook(path, read_only=True)
    sheets = []
    for sheet in book.worksheets:
        cells = []
        rows = 0
        columns = 0
        for r, row in enumerate(sheet.iter_rows()):
            rows = r + 1
            for c, cell in enumerate(row):
                value = cell.value
                if value is None:
                    continue
                columns = max(columns, c + 1)
                if isinstance(value, str):
                    cells.append([r, c, "text", unescape(value)])
                elif isinstance(value, (datetime.date, datetime.time)):
                    cells.append([r, c, "date", date_parts(value)])
                elif isinstance(value, (int, float)):
                    cells.append([r, c, "number", value])
                else:
                    cells.append([r, c, type(value).__name__, repr(value)])
        sheets.append({"name": sheet.title, "rows": rows, "columns": columns, "cells": cells})
    return sheets


path = sys.argv[1]
sheets = read_xlsx(path) if path.lower().endswith(".xlsx") else read_xls(path)
json.dump({"sheets": sheets}, sys.stdout, ensure_ascii=False)
