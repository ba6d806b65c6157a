#!/usr/bin/env python3
"""make_manifest.py ROOT TITLE [EXTRA.md] > MANIFEST.md

Tabulates savinfo.py facts and the PSPP status (from FILE.pspp.txt, written
by run_pspp.sh) for every .sav/.zsav under ROOT.  Standard library only.
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import savinfo  # noqa: E402

# The extension subtypes a basic reader handles; the others it skips.
BASIC_SUBTYPES = {3, 4, 7, 11, 13, 14}

FEATURE_ORDER = [
    "writer: SPSS", "writer: PSPP", "writer: ReadStat", "writer: other",
    "compression 0 (uncompressed)", "compression 1 (bytecode)", "compression 2 (zlib, .zsav)",
    "big-endian", "not a system file (e.g. encrypted)",
    "string variables", "strings wider than 8 bytes", "very long strings (subtype 14, width >= 256)",
    "long-name record present (subtype 13)", "names longer than 8 bytes (subtype 13)",
    "value labels (records 3/4)", "value label longer than 60 bytes",
    "long-string value labels (subtype 21)",
    "discrete numeric missing values", "missing-value ranges",
    "string missing values (short strings, record 2)", "long-string missing values (subtype 22)",
    "variable display parameters (subtype 11)",
    "multiple-response sets (subtype 7)", "extended multiple-response sets (subtype 19)",
    "machine integer info (subtype 3)", "machine float info (subtype 4)",
    "documents (record type 6)", "file label", "weight variable", "zero cases", "case count -1 (unknown)",
]


def pspp_status(path):
    p = path + ".pspp.txt"
    if not os.path.exists(p):
        return "not run", []
    text = open(p, encoding="utf-8", errors="replace").read()
    m = re.search(r"exit status (\d+)", text)
    rc = int(m.group(1)) if m else -1
    msgs = []
    block = re.search(r"^# errors/warnings/notes.*?:\n((?:#   .*\n)*)", text, re.M)
    if block:
        for line in block.group(1).splitlines():
            line = line[4:]
            line = re.sub(r"^/tmp/\S+\.sps:\d+: ", "", line)
            if line not in msgs:
                msgs.append(line)
    errors = [x for x in msgs if "error:" in x]
    warns = [x for x in msgs if "warning:" in x]
    if rc != 0 or errors:
        return "REFUSED", msgs
    if warns:
        return "ok, %d warning%s" % (len(warns), "" if len(warns) == 1 else "s"), msgs
    return "ok", msgs


def writer(prod):
    if "pspp" in prod.lower():
        return "PSPP"
    if "github.com/WizardMac" in prod or "ReadStat" in prod:
        return "ReadStat"
    if "SPSS" in prod:
        return "SPSS"
    return "other"


def main():
    root, title = sys.argv[1], sys.argv[2]
    files = []
    for d, _, names in os.walk(root):
        for n in names:
            if n.endswith((".sav", ".zsav")):
                files.append(os.path.join(d, n))
    files.sort(key=lambda f: os.path.relpath(f, root))
    rows = []
    feats = {}
    notes = []

    order = {}

    def feat(name, f):
        if name not in order:
            order[name] = len(order)
        feats.setdefault(name, []).append(f)

    # fixed display order: every feature name is registered here first
    for name in FEATURE_ORDER:
        order[name] = len(order)

    for f in files:
        rel = os.path.relpath(f, root)
        data = open(f, "rb").read()
        i = savinfo.parse(data)
        st, msgs = pspp_status(f)
        if msgs:
            notes.append((rel, st, msgs))
        if not i.get("product"):
            rows.append([rel, len(data), "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-",
                         i.get("error", ""), st])
            feat("not a system file (e.g. encrypted)", rel)
            if st != "ok":
                feat("PSPP: " + ("refused" if st == "REFUSED" else "read with warnings"), rel)
            continue
        comp = {0: "none", 1: "bytecode", 2: "zlib"}.get(i["compression"], str(i["compression"]))
        enc = i["encoding"] or "-"
        cc = i["charcode"] if i["charcode"] is not None else "-"
        sts = ",".join(str(x) for x in i["subtypes"])
        rows.append([
            rel, len(data), writer(i["product"]) + ": " + i["product"].replace("@(#) ", "")[:48].replace("|", "/"),
            i["endian"], comp, i["ncases"], i["nominal_case_size"], i["var_records"],
            "%d (%d str, max w %d)" % (i["variables"], i["string_vars"], i["max_str_width"]),
            sts, i["doc_lines"] or "-", enc, cc,
            ("" if i["ok"] else "PARSE: " + i.get("error", "")), st])
        feat("writer: " + writer(i["product"]), rel)
        feat("compression 0 (uncompressed)" if i["compression"] == 0 else
             "compression 1 (bytecode)" if i["compression"] == 1 else
             "compression 2 (zlib, .zsav)", rel)
        if i["endian"] == "big":
            feat("big-endian", rel)
        if i["string_vars"]:
            feat("string variables", rel)
        if i["max_str_width"] > 8:
            feat("strings wider than 8 bytes", rel)
        if 14 in i["subtypes"]:
            feat("very long strings (subtype 14, width >= 256)", rel)
        if i["long_names"]:
            feat("names longer than 8 bytes (subtype 13)", rel)
        if 13 in i["subtypes"]:
            feat("long-name record present (subtype 13)", rel)
        if i["value_label_sets"]:
            feat("value labels (records 3/4)", rel)
        if i["max_value_label_len"] > 60:
            feat("value label longer than 60 bytes", rel)
        if 21 in i["subtypes"]:
            feat("long-string value labels (subtype 21)", rel)
        if i["vars_missing_discrete"]:
            feat("discrete numeric missing values", rel)
        if i["vars_missing_range"]:
            feat("missing-value ranges", rel)
        if i["vars_missing_string"]:
            feat("string missing values (short strings, record 2)", rel)
        if 22 in i["subtypes"]:
            feat("long-string missing values (subtype 22)", rel)
        if 11 in i["subtypes"]:
            feat("variable display parameters (subtype 11)", rel)
        if 7 in i["subtypes"]:
            feat("multiple-response sets (subtype 7)", rel)
        if 19 in i["subtypes"]:
            feat("extended multiple-response sets (subtype 19)", rel)
        if 3 in i["subtypes"]:
            feat("machine integer info (subtype 3)", rel)
        if 4 in i["subtypes"]:
            feat("machine float info (subtype 4)", rel)
        if i["doc_lines"]:
            feat("documents (record type 6)", rel)
        if 20 in i["subtypes"]:
            feat("encoding record (subtype 20): " + enc.upper(), rel)
        else:
            feat("no encoding record (character code %s from subtype 3)" % cc if cc != "-" else "no encoding record and no subtype 3", rel)
        if i["weight_index"]:
            feat("weight variable", rel)
        if i["file_label"]:
            feat("file label", rel)
        if i["ncases"] == 0:
            feat("zero cases", rel)
        if i["ncases"] == -1:
            feat("case count -1 (unknown)", rel)
        other = sorted(set(i["subtypes"]) - BASIC_SUBTYPES)
        if other:
            feat("extension subtypes outside 3/4/7/11/13/14 (to be skipped)", rel)
        for x in other:
            feat("  subtype %d (%s)" % (x, savinfo.SUBTYPE_NAMES.get(x, "unknown")), rel)
        if not i["ok"]:
            feat("savinfo.py could not walk the dictionary", rel)
        if st != "ok":
            feat("PSPP: " + ("refused" if st == "REFUSED" else "read with warnings"), rel)

    out = []
    out.append("# " + title)
    out.append("")
    out.append("Generated by `make_manifest.py` from `savinfo.py` (header/dictionary walk, standard-library "
               "`struct` only) and the PSPP 1.6.2 outputs `FILE.pspp.txt` written by `run_pspp.sh`.")
    out.append("")
    out.append("Columns: compression from the header (0 none, 1 bytecode, 2 zlib); cases = header case count; "
               "ncs = nominal case size (8-byte slots per case); var rec = type-2 records incl. continuation "
               "and segment records; variables = after merging very-long-string segments; subtypes = record-7 "
               "subtypes present; doc = record type 6 line count; enc = subtype 20 text; cc = character code "
               "from subtype 3.")
    out.append("")
    out.append("| file | bytes | writer / product | endian | compr. | cases | ncs | var rec | variables | subtypes | doc | enc (st 20) | cc (st 3) | savinfo notes | PSPP |")
    out.append("|---|---:|---|---|---|---:|---:|---:|---|---|---:|---|---:|---|---|")
    for r in rows:
        out.append("| " + " | ".join(str(c) for c in r) + " |")
    out.append("")
    out.append("## Feature coverage (%d files)" % len(files))
    out.append("")
    out.append("| feature | files | which |")
    out.append("|---|---:|---|")
    total = len(files)
    def sort_key(n):
        if n in FEATURE_ORDER:
            return (0, FEATURE_ORDER.index(n), n)
        if "encoding record" in n:
            return (1, 0, n)
        if n.startswith("extension subtypes outside"):
            return (2, 0, n)
        if n.startswith("  subtype"):
            return (2, int(n.split()[1]), n)
        if n.startswith("savinfo"):
            return (3, 0, n)
        return (4, 0, n)

    for name in sorted(feats, key=sort_key):
        fl = feats[name]
        if len(fl) > total // 2 and len(fl) < total:
            rest = [os.path.relpath(f, root) for f in files if os.path.relpath(f, root) not in fl]
            which = "all except: " + ", ".join(rest)
        elif len(fl) == total:
            which = "all"
        else:
            which = ", ".join(fl)
        label = name if not name.startswith("  ") else "&nbsp;&nbsp;" + name.strip()
        out.append("| %s | %d | %s |" % (label, len(fl), which))
    out.append("")
    out.append("## PSPP messages (files PSPP refused or warned about)")
    out.append("")
    if not notes:
        out.append("None.")
    for rel, st, msgs in notes:
        out.append("- **%s** (%s):" % (rel, st))
        for m in msgs:
            out.append("  - `%s`" % m.replace("`", "'"))
    if len(sys.argv) > 3:
        out.append("")
        out.append(open(sys.argv[3], encoding="utf-8").read().rstrip())
    print("\n".join(out))


if __name__ == "__main__":
    main()
