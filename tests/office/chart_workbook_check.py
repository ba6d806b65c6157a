"""Checks a chart's embedded workbook against the chart: every formula of
the chart XML (c:f) must name cells that hold what the chart's cache shows.

Usage: chart_workbook_check.py CHART_XML WORKBOOK
Prints each reference with the cells' contents ("Sheet1!$A$2:$A$4 = a|b|c")
and the number format of the value cells; exits 1 on any mismatch.
"""
import re
import sys
import xml.etree.ElementTree as ET

import openpyxl

C = "{http://schemas.openxmlformats.org/drawingml/2006/chart}"


def cells(ws, ref):
    m = re.fullmatch(r"Sheet1!\$([A-Z]+)\$(\d+)(?::\$([A-Z]+)\$(\d+))?", ref)
    if not m:
        raise SystemExit("bad reference " + ref)
    first = m.group(1) + m.group(2)
    last = (m.group(3) + m.group(4)) if m.group(3) else first
    return [c for row in ws[first:last] for c in row]


def cache(node):
    count = int(node.find(C + "ptCount").get("val"))
    pts = [None] * count
    for pt in node.findall(C + "pt"):
        pts[int(pt.get("idx"))] = pt.find(C + "v").text or ""
    return pts


def show(v):
    if v is None:
        return "-"
    if isinstance(v, (int, float)):
        return "%g" % v
    return str(v)


def main():
    chart = ET.parse(sys.argv[1]).getroot()
    ws = openpyxl.load_workbook(sys.argv[2])["Sheet1"]
    faults = 0
    for ref in chart.iter(C + "strRef"):
        f = ref.find(C + "f").text
        got = [c.value for c in cells(ws, f)]
        want = cache(ref.find(C + "strCache"))
        if len(want) == 1 and len(got) > 1:  # a series named by its heading levels
            got = [" ".join(str(v) for v in got if v not in (None, ""))]
        print(f, "=", "|".join(show(v) for v in got))
        if [show(v) if v is not None else "" for v in got] != [w or "" for w in want]:
            print("  cache:", want)
            faults += 1
    for ref in chart.iter(C + "numRef"):
        f = ref.find(C + "f").text
        found = cells(ws, f)
        got = [c.value for c in found]
        want = cache(ref.find(C + "numCache"))
        print(f, "=", "|".join(show(v) for v in got))
        for v, w in zip(got, want):
            number = isinstance(v, (int, float))
            if (w is None) == number or (number and abs(v - float(w)) > 1e-9):
                print("  cache:", want)
                faults += 1
                break
        for c in found:
            if isinstance(c.value, (int, float)):
                print("format", c.number_format)
                break
    sys.exit(1 if faults else 0)


main()
