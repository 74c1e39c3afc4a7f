"""Loads the sample drawings with ezdxf, audits them and checks what they hold.

Usage: check_drawings_with_ezdxf.py FOLDER
"""
import sys
from collections import Counter
from pathlib import Path

import ezdxf


def load(folder, name):
    doc = ezdxf.readfile(str(Path(folder) / name), encoding="cp932")
    auditor = doc.audit()
    if auditor.has_errors:
        auditor.print_error_report()
        raise SystemExit(f"{name}: the auditor found errors")
    assert doc.dxfversion == "AC1009", (name, doc.dxfversion)
    return doc


def texts(doc):
    return [e.dxf.text.strip() for e in doc.modelspace() if e.dxftype() == "TEXT"]


def check(condition, message):
    if not condition:
        raise SystemExit(message)


def main(folder):
    doc = load(folder, "square_res.dxf")
    msp = doc.modelspace()
    kinds = Counter(e.dxftype() for e in msp)
    check(kinds == Counter({"TEXT": 5, "LINE": 3, "CIRCLE": 2}), f"square_res.dxf entities {kinds}")
    layers = Counter(e.dxf.layer for e in msp)
    check(layers == Counter({"S_TEXT": 7, "S_TAKASA": 2, "S_HEN": 1}), f"square_res.dxf layers {layers}")
    diagonal = [e for e in msp if e.dxftype() == "LINE" and e.dxf.layer == "S_HEN"][0]
    check(tuple(diagonal.dxf.start)[:2] == (0, 0) and tuple(diagonal.dxf.end)[:2] == (10, 10), "diagonal position")
    check(sorted(texts(doc)) == sorted(["7.07", "1", "7.07", "2", "14.14"]), f"square_res.dxf texts {texts(doc)}")
    circle = [e for e in msp if e.dxftype() == "CIRCLE"][0]
    check(abs(circle.dxf.radius - 5) < 1e-9 and abs(circle.dxf.center[1] - 1.66667) < 1e-9, "number circle")

    doc = load(folder, "square_seki.dxf")
    msp = doc.modelspace()
    check(all(e.dxf.layer == "S_HYO" for e in msp), "square_seki.dxf layer")
    check(["No.", "底辺", "高さ", "面積"] == texts(doc)[:4], f"square_seki.dxf headings {texts(doc)[:4]}")
    check(texts(doc)[-6:] == ["合計", "199.9396", "１/２", "99.9698", "面積", "99.97"], "square_seki.dxf totals")
    result = [e for e in msp if e.dxftype() == "TEXT"][-1]
    check(tuple(result.dxf.align_point)[:2] == (136, -44) and result.dxf.halign == 2 and result.dxf.valign == 2,
          "result position")

    doc = load(folder, "square_heron_res.dxf")
    check(texts(doc) == ["1", "10.00", "10.00", "2", "10.00", "10.00", "14.14"], f"heron texts {texts(doc)}")

    doc = load(folder, "square_heron_seki.dxf")
    check(texts(doc)[-4:] == ["合計", "100.0000", "面積", "100.00"], "square_heron_seki.dxf totals")

    doc = load(folder, "pentagon_res.dxf")
    numbers = [t for t in texts(doc) if t.isdigit()]
    check(numbers == ["5", "6", "7"], f"pentagon numbers {numbers}")

    doc = load(folder, "four_corners_zahyo.dxf")
    msp = doc.modelspace()
    check(all(e.dxf.layer == "S_HYO" for e in msp), "four_corners_zahyo.dxf layer")
    rows = [texts(doc)[k:k + 5] for k in range(5, 25, 5)]
    check(rows == [["K1", "3.020", "-12.110", "-29.260", "-88.365200"],
                   ["K2", "13.180", "-12.730", "22.220", "292.859600"],
                   ["K3", "23.810", "10.110", "29.260", "696.680600"],
                   ["K4", "0.860", "16.530", "-22.220", "-19.109200"]], f"four_corners_zahyo.dxf rows {rows}")
    check(texts(doc)[-6:] == ["倍面積", "882.065800", "面積", "441.0329000", "地積", "441.03"],
          f"four_corners_zahyo.dxf totals {texts(doc)[-6:]}")
    # What an examiner does with a calculator: the printed products add up
    # to the printed double area.
    from decimal import Decimal
    check(sum(Decimal(row[4]) for row in rows) == Decimal("882.065800"), "products add up")
    total = [e for e in msp if e.dxftype() == "TEXT"][-5]
    check(tuple(total.dxf.align_point)[:2] == (184, -44) and total.dxf.halign == 2, "double area position")

    for name in ("pentagon_seki.dxf", "empty_heron_seki.dxf"):
        load(folder, name)
    print("all drawings load, audit clean and hold what they should")


if __name__ == "__main__":
    main(sys.argv[1])
