#!/usr/bin/python3
# Prints what openpyxl reads from a workbook, one fact a line as
# KEY <tab> VALUE, for the tests to look up:
#   A1.value      the value: "n:%.15g" for a number, "s:TEXT" for a text
#   A1.format     the number format
#   A1.font       NAME,SIZE,b or -,RRGGBB or -  (bold; colour when given)
#   A1.fill       RRGGBB of a solid fill, "-" without
#   A1.border     TOP,BOTTOM,LEFT,RIGHT styles ("-" for none)
#   A1.bordercolour  RRGGBB of the top border's colour, "-" without
#   A1.align      the horizontal alignment, "-" for general
#   A1.valign     the vertical alignment, "-" for the default (bottom)
#   A1.comment    the comment's text
#   merge         a merged range ("A5:A9"), one line each
#   width.B       the stored width of a column given one
#   sheets        the sheet count
#   custom.NAME   a custom document property (read from the package itself)
# Cells of the first sheet that hold a value or a style; texts escape a
# backslash, a tab and a line feed as \\, \t and \n.
import sys
import zipfile
import xml.etree.ElementTree as ET

import openpyxl


def esc(s):
    return str(s).replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def colour(c):
    if c is None or c.type != "rgb" or not isinstance(c.rgb, str):
        return "-"
    return c.rgb[-6:]


def main():
    sys.stdout.reconfigure(encoding="utf-8")
    book = openpyxl.load_workbook(sys.argv[1])
    sheet = book.worksheets[0]
    print("sheets\t%d" % len(book.worksheets))
    with zipfile.ZipFile(sys.argv[1]) as z:
        if "docProps/custom.xml" in z.namelist():
            for prop in ET.fromstring(z.read("docProps/custom.xml")):
                print("custom.%s\t%s" % (prop.get("name"), esc("".join(prop.itertext()))))
    print("title\t%s" % esc(sheet.title))
    for r in sheet.merged_cells.ranges:
        print("merge\t%s" % r.coord)
    for key, dim in sheet.column_dimensions.items():
        if dim.customWidth and dim.width:
            for col in range(dim.min or 0, (dim.max or 0) + 1):
                print("width.%s\t%.7g" % (openpyxl.utils.get_column_letter(col), dim.width))
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None and not cell.has_style:
                continue
            k = cell.coordinate
            v = cell.value
            if v is None:
                pass
            elif isinstance(v, (int, float)) and not isinstance(v, bool):
                print("%s.value\tn:%.15g" % (k, v))
            else:
                print("%s.value\ts:%s" % (k, esc(v)))
            print("%s.format\t%s" % (k, cell.number_format))
            f = cell.font
            print("%s.font\t%s,%g,%s,%s" % (k, f.name, f.sz or 0, "b" if f.b else "-", colour(f.color)))
            fill = cell.fill
            print("%s.fill\t%s" % (k, colour(fill.fgColor) if fill.fill_type == "solid" else "-"))
            b = cell.border
            print("%s.border\t%s" % (k, ",".join(s.style or "-" for s in (b.top, b.bottom, b.left, b.right))))
            print("%s.bordercolour\t%s" % (k, colour(b.top.color) if b.top.style else "-"))
            print("%s.align\t%s" % (k, cell.alignment.horizontal or "-"))
            print("%s.valign\t%s" % (k, cell.alignment.vertical or "-"))
            if cell.comment is not None:
                print("%s.comment\t%s" % (k, esc(cell.comment.text)))


main()
