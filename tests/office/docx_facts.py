#!/usr/bin/python3
# Prints what python-docx (and, for the parts it does not read, zipfile)
# finds in a .docx, one fact a line as KEY <tab> VALUE:
#   p.I               STYLE|TEXT of body paragraph I (0-based, tables not counted)
#   tables            the table count
#   t.T.size          ROWSxCOLS of table T's grid
#   t.T.R.C           the text of grid cell R, C (a merged cell at each of its places)
#   t.T.span.R.C      ROWSxCOLS of a cell spanning more than one grid cell, at its top left
#   t.T.fill.R.C      RRGGBB of the cell's shading, when it has one
#   t.T.colour.R.C    RRGGBB of its first run's colour, when given
#   t.T.width         the sum of the grid's column widths (twips)
#   t.T.widths        the grid's column widths, "w,w,..."
#   t.T.keep          per row: k (keeps with the next), s (cannot split), "-": "ks,ks,s"
#   custom.NAME       a custom document property
#   style.ID.keep     1 when paragraph style ID keeps with the next (through basedOn)
#   chart.N           the chart part's kind: barChart / pieChart
#   chart.N.values    the values of its series: "v,v;v,v" (series by series)
#   chart.N.workbook  the part its package relationship names, "-" without
#   problem           a package fault: a part without a content type, a
#                     relationship to a missing part, a missing chart workbook
# Texts escape a backslash, a tab and a line feed as \\, \t and \n.
import posixpath
import sys
import zipfile
import xml.etree.ElementTree as ET

import docx
from docx.oxml.ns import qn

W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
C = "http://schemas.openxmlformats.org/drawingml/2006/chart"
R = "http://schemas.openxmlformats.org/package/2006/relationships"
CT = "http://schemas.openxmlformats.org/package/2006/content-types"
PKG_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/package"


def esc(s):
    return str(s).replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def rels_of(z, part):
    d, b = posixpath.split(part)
    name = posixpath.join(d, "_rels", b + ".rels")
    if name not in z.namelist():
        return []
    out = []
    for r in ET.fromstring(z.read(name)).findall("{%s}Relationship" % R):
        if r.get("TargetMode") == "External":
            continue
        target = posixpath.normpath(posixpath.join(d, r.get("Target")))
        out.append((r.get("Id"), r.get("Type"), target))
    return out


def package_facts(z):
    names = [n for n in z.namelist() if not n.endswith("/")]
    types = ET.fromstring(z.read("[Content_Types].xml"))
    defaults = {e.get("Extension").lower() for e in types.findall("{%s}Default" % CT)}
    overrides = {e.get("PartName").lstrip("/") for e in types.findall("{%s}Override" % CT)}
    for n in names:
        if n == "[Content_Types].xml":
            continue
        if n not in overrides and n.rsplit(".", 1)[-1].lower() not in defaults:
            print("problem\tno content type: %s" % n)
    for o in overrides:
        if o not in names:
            print("problem\tcontent type of a missing part: %s" % o)
    for n in [""] + names:
        if n.endswith(".rels"):
            continue
        for rid, _, target in rels_of(z, n):
            if target not in names:
                print("problem\t%s %s names missing %s" % (n or "package", rid, target))
    charts = sorted((n for n in names if n.startswith("word/charts/chart") and n.endswith(".xml")),
                    key=lambda n: int(n[len("word/charts/chart"):-4]))
    for n in charts:
        k = n[len("word/charts/chart"):-4]
        root = ET.fromstring(z.read(n))
        plot = root.find(".//{%s}plotArea" % C)
        kinds = [e.tag.split("}")[1] for e in plot if e.tag.endswith("Chart")]
        print("chart.%s\t%s" % (k, ",".join(kinds)))
        series = []
        for ser in root.iter("{%s}ser" % C):
            pts = ser.findall("{%s}val//{%s}pt" % (C, C))
            series.append(",".join(p.find("{%s}v" % C).text for p in pts))
        print("chart.%s.values\t%s" % (k, ";".join(series)))
        books = [t for _, ty, t in rels_of(z, n) if ty == PKG_REL]
        print("chart.%s.workbook\t%s" % (k, books[0] if books else "-"))
        ext = root.find("{%s}externalData" % C)
        if ext is not None and not books:
            print("problem\t%s names a workbook without a relationship" % n)
    if "docProps/custom.xml" in names:
        root = ET.fromstring(z.read("docProps/custom.xml"))
        for p in root:
            print("custom.%s\t%s" % (p.get("name"), esc("".join(p.itertext()))))


def shading(tc):
    shd = tc.find("%s/%s" % (qn("w:tcPr"), qn("w:shd")))
    return shd.get(qn("w:fill")) if shd is not None else None


def table_facts(doc):
    print("tables\t%d" % len(doc.tables))
    for t, table in enumerate(doc.tables):
        rows, cols = len(table.rows), len(table.columns)
        print("t.%d.size\t%dx%d" % (t, rows, cols))
        widths = [int(g.get(qn("w:w"))) for g in table._tbl.tblGrid.findall(qn("w:gridCol"))]
        print("t.%d.width\t%d" % (t, sum(widths)))
        print("t.%d.widths\t%s" % (t, ",".join(map(str, widths))))
        cells = table._cells
        where = {}
        for i, cell in enumerate(cells):
            where.setdefault(cell._tc, []).append(divmod(i, cols))
        for tc, places in where.items():
            r0 = min(p[0] for p in places)
            c0 = min(p[1] for p in places)
            r1 = max(p[0] for p in places)
            c1 = max(p[1] for p in places)
            if (r1 - r0, c1 - c0) != (0, 0):
                print("t.%d.span.%d.%d\t%dx%d" % (t, r0, c0, r1 - r0 + 1, c1 - c0 + 1))
            fill = shading(tc)
            if fill:
                print("t.%d.fill.%d.%d\t%s" % (t, r0, c0, fill))
            colour = tc.find(".//%s/%s" % (qn("w:rPr"), qn("w:color")))
            if colour is not None:
                print("t.%d.colour.%d.%d\t%s" % (t, r0, c0, colour.get(qn("w:val"))))
        for i, cell in enumerate(cells):
            r, c = divmod(i, cols)
            print("t.%d.%d.%d\t%s" % (t, r, c, esc(cell.text)))
        # Per row: "k" when its first cell's paragraph keeps with the next,
        # "s" when the row may not break across pages; "-" for neither.
        keeps = []
        for row in table.rows:
            tr = row._tr
            flags = ""
            first = tr.find(qn("w:tc"))  # the row's own cell, not a merge's top
            if first.find("%s/%s/%s" % (qn("w:p"), qn("w:pPr"), qn("w:keepNext"))) is not None:
                flags += "k"
            if tr.find("%s/%s" % (qn("w:trPr"), qn("w:cantSplit"))) is not None:
                flags += "s"
            keeps.append(flags or "-")
        print("t.%d.keep\t%s" % (t, ",".join(keeps)))


def style_keeps(doc, style):
    while style is not None:
        if style.paragraph_format.keep_with_next is not None:
            return bool(style.paragraph_format.keep_with_next)
        style = style.base_style
    return False


def main():
    sys.stdout.reconfigure(encoding="utf-8")
    path = sys.argv[1]
    with zipfile.ZipFile(path) as z:
        package_facts(z)
    doc = docx.Document(path)
    for i, p in enumerate(doc.paragraphs):
        print("p.%d\t%s|%s" % (i, p.style.name, esc(p.text)))
    table_facts(doc)
    for s in doc.styles:
        if s.type == docx.enum.style.WD_STYLE_TYPE.PARAGRAPH:
            print("style.%s.keep\t%d" % (s.style_id, style_keeps(doc, s)))


main()
