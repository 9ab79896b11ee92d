#!/usr/bin/python3
# Prints what a workbook holds as JSON, for the export tests: sheet names, and for the first sheet the
# column widths, and every written cell with its value, type, horizontal alignment and number format.
import datetime
import json
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
out = {"sheets": book.sheetnames, "widths": {}, "cells": {}, "max_row": sheet.max_row}
for letter, dim in sheet.column_dimensions.items():
    if dim.width:
        for col in range(dim.min or 0, (dim.max or 0) + 1):
            out["widths"][str(col)] = dim.width
for row in sheet.iter_rows():
    for cell in row:
        if cell.value is None:
            continue
        value = cell.value
        kind = type(value).__name__
        if isinstance(value, (datetime.date, datetime.datetime)):
            value = value.strftime("%Y-%m-%d")
            kind = "date"
        out["cells"]["%d,%d" % (cell.row, cell.column)] = {
            "value": value, "type": kind,
            "align": cell.alignment.horizontal or "general", "format": cell.number_format}
print(json.dumps(out, ensure_ascii=False))
