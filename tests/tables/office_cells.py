#!/usr/bin/python3
# Prints what a reader of an office document sees, one cell a line:
#   ROW <tab> COLUMN <tab> ROWS <tab> COLUMNS <tab> FILL <tab> TEXT
# ROW and COLUMN are where the cell starts (from 0), ROWS and COLUMNS how
# far a merged cell reaches, FILL its background as RRGGBB or "-" for none. A workbook (.xlsx) gives the cells of its
# sheets one under the other; a Word document (.docx) gives each paragraph
# outside tables as a row of one cell and each table row as a row. Empty
# cells are left out. Numbers print as "%.15g"; a tab, a line feed or a
# backslash in a text prints as \t, \n or \\.
import sys


def text(value):
    if isinstance(value, float):
        return "%.15g" % value
    if isinstance(value, int) and not isinstance(value, bool):
        return str(value)
    return str(value).replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def put(row, col, rows, cols, fill, value):
    if value is None:
        return
    shown = text(value)
    if shown.strip():
        print("%d\t%d\t%d\t%d\t%s\t%s" % (row, col, rows, cols, fill or "-", shown))


def workbook(path):
    import openpyxl

    book = openpyxl.load_workbook(path)
    base = 0
    for sheet in book.worksheets:
        spans = {}
        for r in sheet.merged_cells.ranges:
            spans[(r.min_row, r.min_col)] = (r.max_row - r.min_row + 1, r.max_col - r.min_col + 1)
        for line in sheet.iter_rows():
            for cell in line:
                rows, cols = spans.get((cell.row, cell.column), (1, 1))
                fill = None
                if cell.fill is not None and cell.fill.fill_type == "solid":
                    fill = str(cell.fill.fgColor.rgb)[-6:]
                put(base + cell.row - 1, cell.column - 1, rows, cols, fill, cell.value)
        base += sheet.max_row


def shading(tc):
    from docx.oxml.ns import qn

    props = tc.tcPr
    shd = props.find(qn("w:shd")) if props is not None else None
    fill = shd.get(qn("w:fill")) if shd is not None else None
    return fill if fill and fill != "auto" else None


def document(path):
    import docx
    from docx.table import Table, _Cell
    from docx.text.paragraph import Paragraph

    doc = docx.Document(path)
    row = 0
    for child in doc.element.body.iterchildren():
        tag = child.tag.rsplit("}", 1)[-1]
        if tag == "p":
            put(row, 0, 1, 1, None, Paragraph(child, doc).text)
            row += 1
        elif tag == "tbl":
            table = Table(child, doc)
            # Merged cells repeat in every grid position they cover.
            grid = [[cell._tc for cell in line.cells] for line in table.rows]
            extent = {}
            for r, line in enumerate(grid):
                for c, tc in enumerate(line):
                    first = extent.setdefault(id(tc), [r, c, r, c, tc])
                    first[2] = max(first[2], r)
                    first[3] = max(first[3], c)
            for r0, c0, r1, c1, tc in sorted(extent.values(), key=lambda e: (e[0], e[1])):
                put(row + r0, c0, r1 - r0 + 1, c1 - c0 + 1, shading(tc), _Cell(tc, table).text)
            row += len(grid)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: office_cells.py FILE.xlsx|FILE.docx")
    path = sys.argv[1]
    # The texts go out as UTF-8 whatever the locale says.
    sys.stdout.reconfigure(encoding="utf-8", errors="strict")
    if path.endswith(".xlsx"):
        workbook(path)
    elif path.endswith(".docx"):
        document(path)
    else:
        sys.exit("office_cells.py: not an .xlsx or .docx file: " + path)


main()
