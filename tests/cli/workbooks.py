#!/usr/bin/env python3
"""Workbooks for the electrode table tests, written by a spreadsheet library that is not ours.

  workbooks.py edit IN.xlsx OUT.xlsx ELECTRODE COLUMN VALUE  the setup list with one cell of an electrode's rows changed
                                                             (VALUE "=..." writes a formula)
  workbooks.py bomb OUT.xlsx                                 a workbook whose worksheet unpacks to 80 MiB
"""
import sys
import zipfile

import openpyxl


def edit(source, target, electrode, column, value):
    book = openpyxl.load_workbook(source)
    sheet = book.worksheets[0]
    header = [cell.value for cell in sheet[1]]
    at = header.index(column) + 1
    name_at = header.index("电极名") + 1 if "电极名" in header else header.index("electrode") + 1
    for row in sheet.iter_rows(min_row=2):
        if row[name_at - 1].value == electrode:
            text = value
            try:
                text = float(value) if "." in value else int(value)
            except ValueError:
                pass
            row[at - 1].value = text
    book.save(target)


def bomb(target):
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("xl/workbook.xml",
                   '<workbook xmlns:r="r"><sheets><sheet name="a" sheetId="1" r:id="rId1"/></sheets></workbook>')
        z.writestr("xl/_rels/workbook.xml.rels",
                   '<Relationships><Relationship Id="rId1" Type="x/worksheet" Target="worksheets/sheet1.xml"/>'
                   '</Relationships>')
        z.writestr("xl/worksheets/sheet1.xml", "<worksheet>" + " " * (80 << 20) + "</worksheet>")


if __name__ == "__main__":
    if sys.argv[1] == "edit":
        edit(*sys.argv[2:7])
    elif sys.argv[1] == "bomb":
        bomb(sys.argv[2])
