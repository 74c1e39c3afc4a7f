"""End-to-end tests of zelkan-cli as a process.

Usage: test_cli.py ZELKAN_CLI SAMPLES_DIR FIXTURES_DIR [WRAPPER]
WRAPPER runs the program (the wine wrapper for the Windows build).
The totals the program prints are checked against values computed here.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
from decimal import ROUND_HALF_UP, Decimal
from pathlib import Path

CLI, SAMPLES, FIXTURES = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])
WRAPPER = sys.argv[4:5]


def run(*args, cwd=None):
    p = subprocess.run(WRAPPER + [CLI, *map(str, args)], capture_output=True, cwd=cwd, timeout=300)
    return p.returncode, p.stdout.decode("utf-8"), p.stderr.decode("utf-8", "replace")


def polygon(path):
    """The vertices of the single polyline of a sample export."""
    lines = path.read_text().splitlines()
    pairs = list(zip(lines[0::2], lines[1::2]))
    points, x = [], None
    in_vertex = False
    for code, value in pairs:
        code = int(code)
        if code == 0:
            in_vertex = value == "VERTEX"
        elif in_vertex and code == 10:
            x = Decimal(value)
        elif in_vertex and code == 20:
            points.append((x, Decimal(value)))
    return points


def shoelace(points):
    n = len(points)
    s = sum(points[v][0] * (points[v - 1][1] - points[(v + 1) % n][1]) for v in range(n))
    return abs(s / 2)


def table(stdout):
    """Rows of numbers and the totals of the printed area table."""
    rows, totals = [], {}
    for line in stdout.split("座標求積表")[0].splitlines():
        cells = line.split()
        if len(cells) >= 4 and cells[0].isdigit() and all(re.fullmatch(r"-?\d+\.\d+", c) for c in cells[1:]):
            rows.append([Decimal(c) for c in cells[1:]])
        elif len(cells) == 2 and cells[0] in ("合計", "１/２", "面積") and re.fullmatch(r"-?\d+\.\d+", cells[1]):
            totals[cells[0]] = Decimal(cells[1])
    return rows, totals


def value_of(stdout, label):
    for line in stdout.splitlines():
        if line.startswith(label):
            return line[len(label):].strip()
    raise AssertionError(f"no {label} in {stdout}")


def round_half_up(v, places):
    return v.quantize(Decimal(1).scaleb(-places), rounding=ROUND_HALF_UP)


def heron(a, b, c):
    s = (a + b + c) / 2
    return (abs(s * (s - a) * (s - b) * (s - c))).sqrt()


class Cli(unittest.TestCase):
    def setUp(self):
        self.dir = Path(tempfile.mkdtemp(prefix="zelkan-cli-"))
        self.ini = self.dir / "none.Ini"
        self.out = self.dir / "out"

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def measure(self, parcel, *options):
        return run("measure", parcel, "--ini", self.ini, "--out", self.out, *options)

    def summary(self):
        """The rows of summary.csv, each by its column names."""
        import csv
        with open(self.out / "summary.csv", encoding="utf-8-sig", newline="") as f:
            return list(csv.DictReader(f))

    def written(self):
        return sorted(p.name for p in self.out.iterdir()) if self.out.exists() else []

    def test_help_and_version(self):
        code, out, _ = run("--help")
        self.assertEqual(code, 0)
        self.assertIn("zelkan-cli measure PARCEL.dxf", out)
        # Every mode that --mode takes, by its number and the name the window program shows.
        self.assertRegex(out, r"search mode: 0 正三角形状優先, 1 面計測値に最も近い,\r?\n"
                              r" {20}2 （超えない）面計測値に最も近い, 3 高速\r?\n")
        code, out, _ = run("--version")
        self.assertEqual((code, out.startswith("zelkan-cli ")), (0, True))

    def test_usage_errors(self):
        for args in ([], ["frobnicate"], ["measure"], ["measure", "a.dxf", "b.dxf"], ["measure", "a.dxf", "--mode", "7"],
                     ["measure", "a.dxf", "--mode"], ["measure", "a.dxf", "--bogus"], ["measure", "a.dxf", "--heron=1"],
                     ["measure", "a.dxf", "--precision", "丙一"], ["measure", "a.dxf", "--registered", "-5"],
                     ["measure", "a.dxf", "--registered", "abc"]):
            code, out, err = run(*args)
            self.assertEqual(code, 2, args)
            self.assertTrue(err.startswith("zelkan-cli: "), err)

    def test_heron_table_of_the_residential_sample(self):
        parcel = SAMPLES / "residential.dxf"
        code, out, err = self.measure(parcel)
        self.assertEqual(code, 0, err)
        # The coordinate area, computed here exactly from the export.
        self.assertEqual(Decimal(value_of(out, "座標面計値")), round_half_up(shoelace(polygon(parcel)), 3))
        self.assertEqual(value_of(out, "候補三角形"), "56")  # a convex octagon: C(8, 3)
        rows, totals = table(out)
        self.assertEqual(len(rows), 6)
        for a, b, c, area in rows:
            self.assertEqual(area, round_half_up(heron(a, b, c), 4))
        self.assertEqual(totals["合計"], sum(r[3] for r in rows))
        self.assertEqual(totals["面積"], round_half_up(totals["合計"], 2))
        names = self.written()
        self.assertEqual(len([n for n in names if n.endswith("res.dxf")]), 1, names)
        self.assertEqual(len([n for n in names if n.endswith("seki.dxf")]), 1, names)
        self.assertEqual([n for n in names if n.endswith((".xy", ".can", ".mem", ".trw"))], [])
        self.assertEqual(len([n for n in names if n.endswith(".tri")]), 1)

    def test_sansha_table_numbered_from_five_with_records(self):
        code, out, err = self.measure(SAMPLES / "reflex_corner.dxf", "--sansha", "--start-no", "5", "--records")
        self.assertEqual(code, 0, err)
        self.assertIn("底辺", out)
        rows, totals = table(out)
        numbers = [int(line.split()[0]) for line in out.splitlines()
                   if line.split() and line.split()[0].isdigit() and len(line.split()) == 4]
        self.assertEqual(numbers, [5, 6, 7, 8])  # four triangles of a hexagon
        for base, height, doubled in rows:
            self.assertEqual(doubled, round_half_up(base * height, 4))
        self.assertEqual(totals["合計"], sum(r[2] for r in rows))
        self.assertEqual(totals["１/２"], round_half_up(totals["合計"] / 2, 4))
        self.assertEqual(totals["面積"], round_half_up(totals["１/２"], 2))
        names = self.written()
        for ext in (".xy", ".can", ".mem", ".tri", ".trw"):
            self.assertEqual(len([n for n in names if n.endswith(ext)]), 1, (ext, names))
        xy = next(self.out.glob("*.xy")).read_bytes()
        self.assertEqual(xy.count(b"\r\n"), 6)

    def test_rows_beyond_the_row_bound_are_avoided_or_marked(self):
        # The lowest corner a hair below its neighbours' line, under a notch
        # 0.15 m above it: every division has a sliver, which Heron on
        # centimetres cannot measure.
        corners = [(0, 0), (30, -0.05), (60, 0), (60, 20), (31, 20), (30.5, 0.1), (29.5, 0.1), (29, 20), (0, 20)]
        parcel = self.dir / "notched.csv"
        parcel.write_bytes("".join(f"P{k},{-12000 + y:.3f},{-34000 + x:.3f}\r\n"
                                   for k, (x, y) in enumerate(corners, 1)).encode("cp932"))
        code, out, err = self.measure(parcel, "--mode", "0")
        self.assertEqual(code, 0, err)
        summary = (self.out / "summary.csv").read_text(encoding="utf-8-sig").splitlines()
        column = summary[0].split(",").index("行誤差")
        self.assertRegex(summary[1].split(",")[column], r"^1\.\d\d 倍、限度を超える行 [12]$")
        # One parcel from a file: the summary line comes from measuring the export.
        export = self.dir / "notched.dxf"
        export.write_text("  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n 70\r\n1\r\n" + "".join(
            f"  0\r\nVERTEX\r\n 10\r\n{-34000 + x:.3f}\r\n 20\r\n{-12000 + y:.3f}\r\n" for x, y in corners) +
            "  0\r\nSEQEND\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n", newline="")
        code, out, err = self.measure(export, "--mode", "0")
        self.assertEqual(code, 0, err)
        self.assertRegex(value_of(out, "行誤差"),
                         r"^1\.\d\d 倍、限度を超える行 [12]（倍率 4、除外した候補 \d+）。限度内の分割はありません。"
                         r"三斜 なら限度内で測れます$")
        marked = [line for line in out.splitlines() if line.endswith("※")]
        self.assertEqual(len(marked), int(re.search(r"限度を超える行 (\d)", out).group(1)))
        code, out, err = self.measure(export, "--mode", "0", "--sansha")
        self.assertEqual(code, 0, err)
        self.assertRegex(value_of(out, "行誤差"), r"^0\.\d\d 倍、限度を超える行 0（倍率 4、除外した候補 \d+）$")
        code, out, err = self.measure(export, "--mode", "0", "--row-bound", "0")
        self.assertEqual(code, 0, err)
        self.assertRegex(value_of(out, "行誤差"), r"（倍率 4 として。限度は切）$")
        self.assertNotIn("※", out)
        for bad in ("-1", "x", "1e5"):
            code, _, err = self.measure(export, "--row-bound", bad)
            self.assertEqual(code, 2, (bad, err))

    def test_fast_mode_and_settings_from_the_ini_file(self):
        self.ini.write_bytes("[面積]\r\nヘロン=0\r\n[結果]\r\nログ保存=1\r\n".encode("cp932"))
        code, out, err = self.measure(SAMPLES / "roadside.dxf", "--mode", "3")
        self.assertEqual(code, 0, err)
        self.assertIn("底辺", out)
        self.assertNotIn("分割", out)
        names = self.written()
        # The division it drew is recorded; it gathers no others.
        self.assertEqual(len([n for n in names if n.endswith(".tri")]), 1, names)
        self.assertEqual([n for n in names if n.endswith(".trw")], [])
        self.assertEqual(len([n for n in names if n.endswith(".xy")]), 1)

    def test_memory_limit_keeps_what_was_found_and_the_selection_exact(self):
        for mode in ("0", "1", "2"):
            code, full, err = self.measure(SAMPLES / "residential.dxf", "--mode", mode, "--divisions")
            self.assertEqual(code, 0, err)
            self.assertRegex(full, r"分割\s+132（重複 0）\r?\n選択\s+厳密（全分割を記録）")
            # 56 bytes a division of the octagon: about 36 fit in 2K.
            code, out, err = self.measure(SAMPLES / "residential.dxf", "--memory-limit", "2K", "--mode", mode,
                                          "--divisions")
            self.assertEqual(code, 0, err)
            self.assertNotIn("メモリ", err)
            found = int(re.search(r"分割\s+(\d+)（重複 0） 打ち切り", out).group(1))
            self.assertTrue(0 < found < 132, out)
            self.assertIn("選択        厳密（全分割から選択、記録は一部）", out)
            # The same division as with every division stored.
            self.assertEqual(table(out), table(full))
        code, _, err = self.measure(SAMPLES / "residential.dxf", "--memory-limit", "lots")
        self.assertEqual(code, 2, err)

    def test_a_parcel_with_too_many_divisions_to_store(self):
        for mode in ("0", "1", "2"):
            code, gathered, err = self.measure(SAMPLES / "curved_lot.dxf", "--mode", mode, "--divisions")
            self.assertEqual(code, 0, err)
            self.assertIn("構成点      40", gathered)
            self.assertRegex(gathered, r"分割\s+\d+（重複 \d+） 打ち切り\r?\n選択\s+厳密（全分割から選択、記録は一部）")
            rows, totals = table(gathered)
            self.assertEqual(len(rows), 38)
            # Without viewers nothing is gathered unless asked for: the same table.
            code, out, err = self.measure(SAMPLES / "curved_lot.dxf", "--mode", mode)
            self.assertEqual(code, 0, err)
            self.assertRegex(out, r"分割\s+集めず（--divisions で記録）\r?\n選択\s+厳密（全分割から選択、記録は一部）")
            self.assertEqual(table(out), table(gathered))

    def test_scan_of_a_result_drawing(self):
        code, _, err = self.measure(SAMPLES / "residential.dxf", "--start-no", "5")
        self.assertEqual(code, 0, err)
        result = next(self.out.glob("*res.dxf"))
        code, out, err = run("scan", result, "--ini", self.ini)
        self.assertEqual((code, out.strip()), (0, "11"), err)  # triangles 5 to 10
        code, out, _ = run("scan", result, "--layer", "OTHER")
        self.assertEqual((code, out.strip()), (0, "2"))
        code, _, err = run("scan", self.dir / "missing.dxf", "--layer", "S_TEXT")
        self.assertEqual(code, 3, err)
        code, _, err = run("scan")
        self.assertEqual(code, 2, err)

    def test_svg_sheet(self):
        svg = self.dir / "p.svg"
        code, out, err = self.measure(SAMPLES / "residential.dxf", "--svg", svg, "--sansha")
        self.assertEqual(code, 0, err)
        text = svg.read_text(encoding="utf-8")
        self.assertTrue(text.startswith("<?xml") and "<svg" in text)
        # Every base and height of the printed table labels the drawing, in its digits.
        rows, totals = table(out)
        self.assertEqual(len(rows), 6)
        for base, height, _ in rows:
            self.assertIn(f">{base}</text>", text)
            self.assertIn(f">{height}</text>", text)
        self.assertIn(f">{totals['面積']}</text>", text)
        self.assertEqual(len(re.findall(r'<circle [^>]*r="2.20"', text)), 6)

    def test_bad_input(self):
        empty = self.dir / "empty.dxf"
        empty.write_bytes(b"")
        text = self.dir / "letter.dxf"
        text.write_bytes(b"Dear surveyor,\nthis is no drawing.\n")
        cases = [self.dir / "missing.dxf", self.dir, text, empty, FIXTURES / "boundary/no_polyline.dxf",
                 FIXTURES / "boundary/group_code_not_integer.dxf"]
        for parcel in cases:
            code, out, err = self.measure(parcel)
            self.assertEqual(code, 3, (parcel, err))
            self.assertEqual(len(err.strip().splitlines()), 1, err)
            self.assertIn(parcel.name, err)
            self.assertEqual(self.written(), [], parcel)

    def test_unwritable_out_folder(self):
        blocker = self.dir / "file"
        blocker.write_bytes(b"x")
        code, _, err = run("measure", SAMPLES / "residential.dxf", "--ini", self.ini, "--out", blocker / "sub")
        self.assertEqual(code, 3, err)
        self.assertEqual(len(err.strip().splitlines()), 1, err)

    def export(self, name, points):
        """A closed polyline as the CAD exports it."""
        text = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n 70\r\n1\r\n"
        for x, y in points:
            text += f"  0\r\nVERTEX\r\n 10\r\n{x}\r\n 20\r\n{y}\r\n"
        path = self.dir / name
        path.write_bytes((text + "  0\r\nSEQEND\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n").encode())
        return path

    def test_input_that_cannot_be_measured_is_refused(self):
        square = [(0, 0), (10, 0), (10, 10), (0, 10)]
        cases = [
            (self.export("bow_tie.dxf", [(0, 0), (10, 10), (10, 0), (0, 10)]), None,
             "筆界が交差しています: 辺 1-2 と辺 3-4"),
            (self.export("pinched.dxf", [(0, 0), (5, 0), (5, 5), (10, 5), (10, 10), (5, 10), (5, 5), (0, 5)]), None,
             "筆界が接しています"),
            (self.export("far.dxf", [(0, 0), (1e300, 0), (0, 1e300)]), None, "構成点 2 の座標が大きすぎます"),
            (self.export("square.dxf", square), "[計測縮尺]\r\n分母=0\r\n", "[計測縮尺] 分母"),
            (self.export("square.dxf", square), "[長さ]\r\n四捨五入=0\r\n", "[長さ]"),
        ]
        for parcel, ini, message in cases:
            if ini is None:
                self.ini.unlink(missing_ok=True)
            else:
                self.ini.write_bytes(ini.encode("cp932"))
            for mode in ("0", "3"):
                code, out, err = self.measure(parcel, "--mode", mode)
                self.assertEqual(code, 3, (parcel.name, mode, err))
                self.assertIn(message, err)
                self.assertEqual(len(err.strip().splitlines()), 1, err)
                self.assertEqual(self.written(), [], parcel.name)

    def test_mode_2_with_every_total_above_the_area_says_the_smallest(self):
        # 0.3 x 0.4: every division totals 0.1200, the coordinate area exactly.
        parcel = self.export("rectangle.dxf", [(0.1, 0), (0.4, 0), (0.4, 0.4), (0.1, 0.4)])
        for measure, hint in (("--heron", "検索 1 か 三斜 で測れます"), ("--sansha", "検索 1 で測れます")):
            code, out, err = self.measure(parcel, "--mode", "2", measure)
            self.assertEqual(code, 1, err)
            self.assertEqual(err.splitlines(), [
                "zelkan-cli: 見つかりませんでした。設定[座標面計値を超えない]を確認してください",
                "zelkan-cli: 座標面計値 0.1200 より小さい合計の分割はありません: 最も小さい合計は 0.1200"
                "（座標面計値と等しい）。" + hint], measure)
            code, out, err = self.measure(parcel, "--mode", "1", measure)
            self.assertEqual(code, 0, err)

    def test_mode_2_says_when_the_row_bound_left_nothing_below_the_area(self):
        # Below the area only through slivers: the bound takes them out and says so.
        code, out, err = self.measure(SAMPLES / "roadside.dxf", "--mode", "2", "--heron")
        self.assertEqual(code, 1, err)
        self.assertIn("より小さい合計の分割は、行誤差の限度内にはありません（限度を超える候補 9 個を除外）: "
                      "最も小さい合計は 119.2289", err)
        code, out, err = self.measure(SAMPLES / "roadside.dxf", "--mode", "2", "--heron", "--row-bound", "0")
        self.assertEqual(code, 0, err)

    def test_repeated_corners_are_dropped_and_a_triangle_is_measured(self):
        points = [(0, 0), (4, -1), (8, 0), (9, 4), (8, 8), (4, 9), (0, 8), (-1, 4)]
        _, plain, _ = self.measure(self.export("octagon.dxf", points))
        code, out, err = self.measure(self.export("closed.dxf", points + [points[0]]))
        self.assertEqual(code, 0, err)
        self.assertIn("重複した構成点 1 点を除きました", err)
        self.assertEqual(value_of(out, "構成点"), "8（重複 1 点を除く）")
        self.assertEqual(table(out), table(plain))
        for mode in ("0", "1", "2", "3"):
            code, out, err = self.measure(self.export("triangle.dxf", [(0, 0), (10, 0), (0, 10)]), "--mode", mode,
                                          "--sansha")
            self.assertEqual(code, 0, (mode, err))
            self.assertEqual(len(table(out)[0]), 1)

    def test_runs_in_the_same_second_keep_each_others_files(self):
        for _ in range(3):
            code, _, err = self.measure(SAMPLES / "residential.dxf")
            self.assertEqual(code, 0, err)
        self.assertEqual(len([n for n in self.written() if n.endswith("res.dxf")]), 3)

    def test_save_logs_writes_the_six_logs_under_the_name(self):
        name = self.dir / "saved" / "abc.txt"
        name.parent.mkdir()
        code, out, err = self.measure(SAMPLES / "residential.dxf", "--save-logs", name)
        self.assertEqual(code, 0, err)
        saved = sorted(p.name for p in name.parent.iterdir())
        self.assertEqual(saved, ["abc.can", "abc.mem", "abc.tri", "abc.trs", "abc.trw", "abc.xy"])
        trs = (name.parent / "abc.trs").read_bytes().split(b"\r\n")
        self.assertEqual(trs[1], b"8")  # the vertices
        summaries = [line for line in trs if line.startswith(b"0,")]
        self.assertEqual(len(summaries), 132)  # every division of the octagon
        # After a fast run nothing is stored: nothing to save, and it says so.
        code, _, err = self.measure(SAMPLES / "residential.dxf", "--mode", "3", "--save-logs", self.dir / "fast")
        self.assertEqual(code, 0, err)
        self.assertIn("ログは保存しません", err)
        self.assertFalse(list(self.dir.glob("fast.*")))

    def test_a_drawing_is_never_measured_as_a_wrong_parcel(self):
        sample = (SAMPLES / "residential.dxf").read_bytes()
        _, plain, _ = self.measure(SAMPLES / "residential.dxf")
        # Texts and a line after the polyline, as in any real drawing.
        extra = b"  0\r\nTEXT\r\n  8\r\nS_TEXT\r\n 10\r\n5.0\r\n 20\r\n6.0\r\n  1\r\n12\r\n" \
                b"  0\r\nLINE\r\n 10\r\n1.0\r\n 20\r\n2.0\r\n 11\r\n3.0\r\n 21\r\n4.0\r\n"
        at = sample.index(b"  0\r\nENDSEC", sample.index(b"SEQEND"))
        with_texts = self.dir / "with_texts.dxf"
        with_texts.write_bytes(sample[:at] + extra + sample[at:])
        code, out, err = self.measure(with_texts)
        self.assertEqual(code, 0, err)
        self.assertEqual(value_of(out, "座標面計値"), "350.016")
        self.assertEqual(table(out), table(plain))
        self.assertEqual(len([n for n in self.written() if n.endswith("res.dxf")]), 2)
        shutil.rmtree(self.out)
        first = sample.index(b"-12016.087")
        cases = [
            (sample.replace(b"-12016.087", b"nan", 1), "行目の座標が数ではありません"),
            (sample[:first + 5], "DXF がポリラインの途中で終わっています"),
            (sample.replace(b"-12016.087", b"1e150", 1), "座標が大きすぎます"),
        ]
        for n, (data, message) in enumerate(cases):
            parcel = self.dir / f"bad{n}.dxf"
            parcel.write_bytes(data)
            code, _, err = self.measure(parcel)
            self.assertEqual(code, 3, (message, err))
            self.assertIn(message, err)
            self.assertEqual(self.written(), [], message)

    def test_scan_of_a_number_too_large_to_follow(self):
        drawing = self.dir / "large_number.dxf"
        drawing.write_bytes(b"  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nTEXT\r\n  8\r\nS_TEXT\r\n  1\r\n2147483647\r\n"
                            b"  0\r\nENDSEC\r\n  0\r\nEOF\r\n")
        code, out, err = run("scan", drawing, "--layer", "S_TEXT")
        self.assertEqual((code, out.strip()), (0, "2147482647"), err)

    def sima(self, name):
        """Two square lots and a lot with an unknown point, as survey software writes them."""
        text = ("G00,04,分譲地,\r\nZ01,9,\r\nA00,\r\n"
                "A01,1,P1,-11990.000,-33990.000,,\r\nA01,2,P2,-11990.000,-33970.000,,\r\n"
                "A01,3,P3,-11970.000,-33970.000,,\r\nA01,4,P4,-11970.000,-33990.000,,\r\n"
                "A01,5,P5,-11970.000,-33950.000,,\r\nA01,6,P6,-11990.000,-33950.000,,\r\nA99,\r\n"
                "D00,1,一号地,1,\r\nB01,1,P1,\r\nB01,2,P2,\r\nB01,3,P3,\r\nB01,4,P4,\r\nD99,\r\n"
                "D00,2,二号地,1,\r\nB01,2,P2,\r\nB01,6,P6,\r\nB01,5,P5,\r\nB01,3,P3,\r\nD99,\r\n"
                "D00,3,三号地,1,\r\nB01,1,P1,\r\nB01,8,P8,\r\nB01,3,P3,\r\nD99,\r\n")
        path = self.dir / name
        path.write_bytes(text.encode("cp932"))
        return path

    def test_every_parcel_of_a_sima_file_and_the_summary(self):
        code, out, err = self.measure(self.sima("lots.sim"), "--mode", "0", "--sansha")
        self.assertEqual(code, 3, err)  # the worst of the parcels: an unknown point
        summary = (self.out / "summary.csv").read_bytes()
        self.assertEqual(summary.decode("utf-8"),
                         "\ufeff番号,名前,構成点,座標面積,表の合計,面積,差,モード,厳密,結果,系,図面,行誤差,"
                         "倍面積,地積（座標）,地積（三斜）,地積一致,精度区分,公差,公差内\r\n"
                         # 28.28 x 14.14 twice: base x height totals count twice the area; both
                         # lots run counter-clockwise with north up: a negative double area
                         "1,一号地,4,400.000,799.7584,399.88,0.120,0,はい,計測しました,9,一号地,0.08 倍、限度を超える行 0,"
                         "-800.000000,400.00,399.88,いいえ,なし,,\r\n"
                         "2,二号地,4,400.000,799.7584,399.88,0.120,0,はい,計測しました,9,二号地,0.08 倍、限度を超える行 0,"
                         "-800.000000,400.00,399.88,いいえ,なし,,\r\n"
                         "3,三号地,3,,,,,0,,25 行目の点 8 P8 が座標にありません,9,,,,,,,,,\r\n")
        for lot in ("一号地", "二号地"):
            self.assertIn(lot + "res.dxf", self.written())
            self.assertIn(lot + "seki.dxf", self.written())

    def test_parcels_measured_together_equal_each_measured_alone(self):
        lots = SAMPLES / "subdivision.sim"
        code, _, err = self.measure(lots, "--mode", "1")
        self.assertEqual(code, 0, err)
        together = (self.out / "summary.csv").read_text(encoding="utf-8-sig").splitlines()
        alone = self.dir / "alone"
        for row in together[1:]:
            name = row.split(",")[1]
            code, _, err = run("measure", lots, "--ini", self.ini, "--out", alone, "--mode", "1", "--only", name)
            self.assertEqual(code, 0, err)
            self.assertEqual((alone / "summary.csv").read_text(encoding="utf-8-sig").splitlines()[1:], [row])
            for ending in ("res.dxf", "seki.dxf"):
                self.assertEqual((alone / (name + ending)).read_bytes(), (self.out / (name + ending)).read_bytes())

    def test_only_some_parcels_and_numbers_that_run_on(self):
        lots = self.sima("lots.sim")
        code, _, err = self.measure(lots, "--only", "2", "--only", "一号地", "--continue-numbering", "--start-no", "5")
        self.assertEqual(code, 0, err)
        summary = (self.out / "summary.csv").read_text(encoding="utf-8-sig")
        self.assertEqual([line.split(",")[1] for line in summary.splitlines()[1:]], ["一号地", "二号地"])
        # Two triangles each: the second lot's are numbered 7 and 8.
        second = (self.out / "二号地seki.dxf").read_bytes()
        self.assertIn(b"\r\n7\r\n", second)
        self.assertIn(b"\r\n8\r\n", second)
        self.assertNotIn(b"\r\n5\r\n", second)

    def test_coordinate_method_table_the_registered_area_and_its_tolerance(self):
        # Four corners to the centimetre (X north, Y east): twice the area is
        # 882.0658 by exact arithmetic, 441.0329 m².
        corners = [("K1", "3.02", "-12.11"), ("K2", "13.18", "-12.73"), ("K3", "23.81", "10.11"), ("K4", "0.86", "16.53")]
        points = self.dir / "four.csv"
        points.write_text("点名,X,Y\n" + "".join(f"{n},{x},{y}\n" for n, x, y in corners), encoding="utf-8")
        # 山林 and the like (地目 1) and a CSV of the table; 精度区分 乙一 from the file, 甲二 from the command line.
        self.ini.write_bytes("[座標求積]\r\n地目=1\r\n精度区分=4\r\nCSV=1\r\n".encode("cp932"))
        code, out, err = self.measure(points, "--mode", "1", "--precision", "甲二", "--registered", "439.03")
        self.assertEqual(code, 0, err)
        table = (self.out / "fourzahyo.csv").read_bytes().decode("utf-8")
        self.assertTrue(table.startswith("\ufeff点名,X,Y,Yn+1－Yn-1,Xn(Yn+1－Yn-1)\r\n"), table)
        rows = [line.split(",") for line in table.splitlines()[1:5]]
        self.assertEqual([r[0] for r in rows], ["K1", "K2", "K3", "K4"])
        for (name, x, y), row in zip(corners, rows):
            self.assertEqual((Decimal(row[1]), Decimal(row[2])), (Decimal(x), Decimal(y)))
        ys = [Decimal(y) for _, _, y in corners]
        for k, row in enumerate(rows):
            self.assertEqual(Decimal(row[3]), ys[(k + 1) % 4] - ys[k - 1])
            self.assertEqual(Decimal(row[4]), Decimal(row[1]) * Decimal(row[3]))
        totals = dict(line.split(",")[3:5] for line in table.splitlines()[5:])
        self.assertEqual(sum(Decimal(r[4]) for r in rows), Decimal(totals["倍面積"]))
        self.assertEqual(totals, {"倍面積": "882.065800", "面積": "441.0329000", "地積": "441"})
        summary = (self.out / "summary.csv").read_text(encoding="utf-8-sig").splitlines()
        tail = summary[1].split(",")[-7:]
        self.assertEqual(tail[:2] + tail[4:6], ["882.065800", "441", "甲二", "2.01"], summary)
        self.assertEqual(tail[2:4] + tail[6:], ["441", "はい", "はい"], summary)
        self.assertIn("fourzahyo.dxf", self.written())

    def test_the_printed_coordinate_method_table_adds_up(self):
        parcel = SAMPLES / "residential.dxf"
        code, out, err = self.measure(parcel, "--precision", "乙一", "--registered", "350")
        self.assertEqual(code, 0, err)
        # The Windows build's standard output ends its lines in CR LF.
        printed = out.replace("\r\n", "\n").split("座標求積表\n")[1].split("\n\n")[0].splitlines()
        self.assertEqual(printed[0].split(), ["点名", "X", "Y", "Yn+1－Yn-1", "Xn(Yn+1－Yn-1)"])
        rows = [[Decimal(c) for c in line.split()[1:]] for line in printed[1:-3]]
        # The export's corners (x east, y north) to the millimetre, in working order.
        corners = polygon(parcel)
        self.assertEqual(sorted((r[1], r[0]) for r in rows), sorted((round_half_up(x, 3), round_half_up(y, 3))
                                                                    for x, y in corners))
        n = len(rows)
        for k, (x, y, dy, product) in enumerate(rows):
            self.assertEqual(dy, rows[(k + 1) % n][1] - rows[k - 1][1])
            self.assertEqual(product, x * dy)
        totals = {line.split()[0]: line.split()[1] for line in printed[-3:]}
        self.assertEqual(Decimal(totals["倍面積"]), sum(r[3] for r in rows))
        self.assertEqual(Decimal(totals["面積"]), abs(sum(r[3] for r in rows)) / 2)
        area = Decimal(totals["面積"])
        self.assertEqual(totals["地積"], str(area.quantize(Decimal("0.01"), rounding="ROUND_DOWN")))
        self.assertTrue(value_of(out, "地積（座標）").startswith(totals["地積"] + "（宅地・鉱泉地）"))
        f = abs(area)
        tolerance = round_half_up((Decimal("0.10") + Decimal("0.04") * f.sqrt().sqrt()) * f.sqrt(), 2)
        self.assertEqual(value_of(out, "精度区分"), f"乙一（公差 {tolerance} m²）")
        self.assertTrue(value_of(out, "公差内").startswith("はい"))
        self.assertTrue(value_of(out, "登記地積").startswith("350　公差内 はい"))

    def lots_dxf(self, version):
        """Closed LWPOLYLINEs written by ezdxf: two lots, one with an arc, one on another layer."""
        import ezdxf
        doc = ezdxf.new(version)
        msp = doc.modelspace()
        msp.add_lwpolyline([(0, 0), (20, 0), (20, 20), (0, 20)], close=True, dxfattribs={"layer": "筆界"})
        msp.add_lwpolyline([(20, 0), (40, 0), (40, 20), (20, 20)], close=True, dxfattribs={"layer": "筆界"})
        msp.add_lwpolyline([(0, 20, 0, 0, 0.5), (20, 20), (20, 40), (0, 40)], format="xyseb", close=True,
                           dxfattribs={"layer": "筆界"})
        msp.add_lwpolyline([(50, 0), (60, 0), (60, 10)], close=True, dxfattribs={"layer": "other"})
        msp.add_lwpolyline([(70, 0), (80, 0), (80, 10)], close=False, dxfattribs={"layer": "筆界"})
        path = self.dir / f"lots-{version}.dxf"
        doc.saveas(path)
        return path

    def test_closed_lwpolylines_of_any_version_on_a_layer(self):
        for version in ("R2000", "R2018"):
            if self.out.exists():
                shutil.rmtree(self.out)
            code, _, err = self.measure(self.lots_dxf(version), "--layer", "筆界", "--mode", "0")
            self.assertEqual(code, 3, err)  # the lot with an arc is refused
            rows = self.summary()
            self.assertEqual([r["番号"] for r in rows], ["1", "2", "3"], version)
            self.assertEqual([r["座標面積"] for r in rows[:2]], ["400.000", "400.000"], version)
            self.assertEqual([r["結果"] for r in rows[:2]], ["計測しました"] * 2, version)
            self.assertIn("頂点 1 に円弧があります", rows[2]["結果"])
        # Without a layer, the triangle on the other layer is measured too.
        shutil.rmtree(self.out)
        code, _, err = self.measure(self.lots_dxf("R2000"), "--only", "4")
        self.assertEqual(code, 0, err)
        rows = (self.out / "summary.csv").read_text(encoding="utf-8-sig").splitlines()[1:]
        self.assertEqual(len(rows), 1)
        self.assertTrue(rows[0].startswith("4,4,3,50.000,"), rows[0])


    # A 10 x 10 square as each kind of coordinate file writes it; x3 is the
    # north (SIMA, lists) or drawing y of its third corner.
    def sima_square(self, name, x3="10.000", extra_points="", parcel_name="lot"):
        text = ("G00,04,x,\r\nA00,\r\nA01,1,P1,0.000,0.000,,\r\nA01,2,P2,0.000,10.000,,\r\n"
                f"A01,3,P3,{x3},10.000,,\r\nA01,4,P4,10.000,0.000,,\r\n{extra_points}A99,\r\n"
                f"D00,1,{parcel_name},1,\r\nB01,1,P1,\r\nB01,2,P2,\r\nB01,3,P3,\r\nB01,4,P4,\r\nD99,\r\n")
        path = self.dir / name
        path.write_bytes(text.encode("cp932"))
        return path

    def list_square(self, name, x3="10.0", first="P1,0.0,0.0"):
        path = self.dir / name
        path.write_bytes(f"{first}\r\nP2,0.0,10.0\r\nP3,{x3},10.0\r\nP4,10.0,0.0\r\n".encode())
        return path

    def drawing(self, name, *polylines):
        """Heavy POLYLINEs: each a list of (x, y[, bulge]) and whether it is closed."""
        text = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n"
        for points, closed in polylines:
            text += f"  0\r\nPOLYLINE\r\n  8\r\n0\r\n 66\r\n1\r\n 70\r\n{1 if closed else 0}\r\n"
            for x, y, *bulge in points:
                text += f"  0\r\nVERTEX\r\n  8\r\n0\r\n 10\r\n{x}\r\n 20\r\n{y}\r\n"
                if bulge:
                    text += f" 42\r\n{bulge[0]}\r\n"
            text += "  0\r\nSEQEND\r\n"
        path = self.dir / name
        path.write_bytes((text + "  0\r\nENDSEC\r\n  0\r\nEOF\r\n").encode())
        return path

    def test_a_file_slightly_off_is_never_measured_as_another_parcel(self):
        square = [(0, 0), (10, 0), (10, 10), (0, 10)]
        half_circle = [(0, 0), (10, 0, 1.0), (10, 10), (0, 10)]
        cases = [
            # A coordinate beyond every double, once read as 0: a triangle of 50.
            (self.sima_square("far.sim", x3="1e400"), "構成点 3 の座標が大きすぎます"),
            (self.list_square("far.csv", x3="1e400"), "構成点 3 の座標が大きすぎます"),
            (self.drawing("far.dxf", ([(0, 0), (10, 0), (10, "1e400"), (0, 10)], True), (square, True)),
             "構成点 3 の座標が大きすぎます"),
            # A first corner that is no number, once taken for a header.
            (self.list_square("o.csv", first="1,1O.000,0.000"), "1 行目: 「点名,X,Y」の行ではありません"),
            (self.list_square("nan.csv", first="P1,nan,0"), "1 行目: 「点名,X,Y」の行ではありません"),
            # Point 3 given twice, once resolved to the later one.
            (self.sima_square("twice.sim", extra_points="A01,3,P3,20.000,20.000,,\r\n"),
             "の座標が 5 行目と 7 行目で異なります"),
            # An arc: alone in the drawing (the one-boundary reader) and beside another polyline.
            (self.drawing("arc.dxf", (half_circle, True)), "頂点 2 に円弧があります"),
            (self.drawing("arcs.dxf", (half_circle, True), ([(20, 0), (30, 0), (30, 10)], True)),
             "頂点 2 に円弧があります"),
            # Too thin for any triangle: 133 km long, 3 micrometres wide.
            (self.drawing("thin.dxf", ([(0, 0), (133000, 0), (66500, "0.000003")], True)), "筆が細すぎて分割できません"),
            (self.drawing("thins.dxf", ([(0, 0), (133000, 0), (66500, "0.000003")], True), (square, True)),
             "筆が細すぎて分割できません"),
        ]
        for parcel, message in cases:
            if self.out.exists():
                shutil.rmtree(self.out)
            code, out, err = self.measure(parcel)
            self.assertEqual(code, 3, (parcel.name, out, err))
            said = err + "".join(r["結果"] for r in self.summary()) if (self.out / "summary.csv").exists() else err
            self.assertIn(message, said, parcel.name)
            self.assertNotIn("100.000", out, parcel.name)
            for row in self.summary() if (self.out / "summary.csv").exists() else []:
                if message in row["結果"]:
                    self.assertEqual(row["座標面積"], "", parcel.name)

    def test_a_list_whose_points_are_named_like_sima_records(self):
        for first in ("A01", "A00", "Z00", "G00"):
            shutil.rmtree(self.out, ignore_errors=True)
            code, _, err = self.measure(self.list_square("lot.csv", first=f"{first},0.0,0.0"))
            self.assertEqual(code, 0, (first, err))
            self.assertEqual([r["座標面積"] for r in self.summary()], ["100.000"], first)

    def test_parcels_of_the_same_name_keep_their_own_drawings(self):
        lots = ("G00,04,x,\r\nA00,\r\nA01,1,P1,0.000,0.000,,\r\nA01,2,P2,0.000,10.000,,\r\nA01,3,P3,10.000,10.000,,\r\n"
                "A01,4,P4,10.000,0.000,,\r\nA01,5,P5,0.000,20.000,,\r\nA01,6,P6,10.000,20.000,,\r\n"
                "A01,7,P7,0.000,40.000,,\r\nA01,8,P8,10.000,40.000,,\r\nA99,\r\n"
                "D00,1,12番,1,\r\nB01,1,P1,\r\nB01,2,P2,\r\nB01,3,P3,\r\nB01,4,P4,\r\nD99,\r\n"
                "D00,2,12番,1,\r\nB01,2,P2,\r\nB01,5,P5,\r\nB01,6,P6,\r\nB01,3,P3,\r\nD99,\r\n"
                "D00,3,2,1,\r\nB01,5,P5,\r\nB01,7,P7,\r\nB01,8,P8,\r\nB01,6,P6,\r\nD99,\r\n"
                "D00,2,,1,\r\nB01,1,P1,\r\nB01,3,P3,\r\nB01,4,P4,\r\nD99,\r\n"
                "D00,5,a,1,\r\nB01,1,P1,\r\nB01,2,P2,\r\nB01,3,P3,\r\nD99,\r\n"
                "D00,6,A,1,\r\nB01,1,P1,\r\nB01,3,P3,\r\nB01,4,P4,\r\nD99,\r\n")
        path = self.dir / "same.sim"
        path.write_bytes(lots.encode("cp932"))
        code, _, err = self.measure(path, "--mode", "1")
        self.assertEqual(code, 0, err)
        rows = self.summary()
        self.assertEqual([r["座標面積"] for r in rows], ["100.000", "100.000", "200.000", "50.000", "50.000", "50.000"])
        names = [r["図面"] for r in rows]
        self.assertEqual(len({n.lower() for n in names}), 6, names)
        for row in rows:
            # Each row's drawings are its own: the area table's total is the row's.
            seki = (self.out / (row["図面"] + "seki.dxf")).read_bytes()
            self.assertIn(row["面積"].encode(), seki, row)
            self.assertTrue((self.out / (row["図面"] + "res.dxf")).exists(), row)
        self.assertEqual(len([n for n in self.written() if n.endswith("res.dxf")]), 6)
        # A parcel keeps its name when measured alone.
        alone = self.dir / "alone"
        code, _, err = run("measure", path, "--ini", self.ini, "--out", alone, "--mode", "1", "--only", "2")
        self.assertEqual(code, 0, err)
        self.assertEqual(sorted(p.name for p in alone.glob("*res.dxf")),
                         sorted(n + "res.dxf" for n, r in zip(names, rows) if "2" in (r["番号"], r["名前"])))

    def test_nothing_done_is_never_silent(self):
        square = [(0, 0), (10, 0), (10, 10), (0, 10)]
        lots = self.sima("lots.sim")
        no_lot = self.dir / "nolot.sim"
        no_lot.write_bytes(b"G00,04,x,\r\nA00,\r\nA01,1,P1,0.000,0.000,,\r\nA99,\r\n")
        cases = [
            ((lots, "--only", "9"), 3, "--only 9: その番号・名前の画地はファイルにありません"),
            ((self.drawing("lots.dxf", (square, True), (square, True)), "--layer", "筆界"), 3,
             "画層「筆界」の図形がありません"),
            ((self.drawing("open.dxf", (square, False), ([(20, 0), (30, 0)], False)),), 3,
             "閉じたポリラインがありません（開いたポリライン 2 本は筆として読みません）"),
            ((no_lot,), 3, "画地（D00）がありません"),
            ((lots, "--svg", self.dir / "p.svg"), 2, "--svg は一つの筆の計測にだけ使えます"),
            ((lots, "--save-logs", self.dir / "logs"), 2, "--save-logs は一つの筆の計測にだけ使えます"),
        ]
        for args, expected, message in cases:
            shutil.rmtree(self.out, ignore_errors=True)
            code, out, err = self.measure(*args)
            self.assertEqual(code, expected, (args, err))
            self.assertIn(message, err)
            self.assertEqual(self.written(), [], args)
        # Some --only found and one not: those found are measured, and the run says it was not all.
        code, _, err = self.measure(lots, "--only", "1", "--only", "9")
        self.assertEqual(code, 3, err)
        self.assertIn("--only 9", err)
        self.assertEqual([r["名前"] for r in self.summary()], ["一号地"])
        # An open polyline ending on its first vertex is a closed boundary.
        shutil.rmtree(self.out)
        code, _, err = self.measure(self.drawing("closed_by_end.dxf", (square + [square[0]], False), (square, False)))
        self.assertEqual(code, 0, err)
        self.assertEqual([r["座標面積"] for r in self.summary()], ["100.000"])

    def test_mode_2_rows_say_the_smallest_total_and_every_corner_listed(self):
        # 0.3 x 0.4: every division totals 0.1200, the coordinate area exactly.
        text = ("A00,\r\nA01,1,P1,0.0,0.1,,\r\nA01,2,P2,0.0,0.4,,\r\nA01,3,P3,0.4,0.4,,\r\nA01,4,P4,0.4,0.1,,\r\nA99,\r\n"
                "D00,1,small,1,\r\nB01,1,P1,\r\nB01,2,P2,\r\nB01,3,P3,\r\nB01,4,P4,\r\nD99,\r\n"
                "D00,2,fifteen,1,\r\n" + "".join(f"B01,{n},P{n},\r\n" for n in (1, 2, 3, 4, 5, 6, 7, 8, 9, 10,
                                                                            11, 12, 13, 14, 15)) + "D99,\r\n")
        path = self.dir / "mode2.sim"
        path.write_bytes(text.encode())
        _, single, single_err = self.measure(self.export("rectangle.dxf", [(0.1, 0), (0.4, 0), (0.4, 0.4), (0.1, 0.4)]),
                                             "--mode", "2")
        shutil.rmtree(self.out)
        code, _, err = self.measure(path, "--mode", "2")
        self.assertEqual(code, 3, err)
        small, fifteen = self.summary()
        self.assertIn("最も小さい合計は 0.1200（座標面計値と等しい）。検索 1 か 三斜 で測れます", small["結果"])
        self.assertIn(small["結果"].split("。", 2)[-1], single_err)
        self.assertEqual(fifteen["構成点"], "15")

    def ctrl_c_file(self):
        """Many lots of 24 corners: long enough to be interrupted."""
        import math
        points, lots = [], []
        for lot in range(120):
            first = len(points) + 1
            for k in range(24):
                a = 2 * math.pi * k / 24
                r = 10 + (k % 3)
                points.append((lot * 30 + r * math.cos(a), r * math.sin(a)))
            lots.append(range(first, first + 24))
        text = "A00,\r\n" + "".join(f"A01,{n},P{n},{y:.3f},{x:.3f},,\r\n" for n, (x, y) in enumerate(points, 1))
        for n, corners in enumerate(lots, 1):
            text += f"D00,{n},lot{n},1,\r\n" + "".join(f"B01,{c},,\r\n" for c in corners) + "D99,\r\n"
        path = self.dir / "many.sim"
        path.write_bytes(text.encode())
        return path, len(lots)

    @unittest.skipIf(WRAPPER or os.name == "nt", "Ctrl+C is a POSIX signal here")
    def test_ctrl_c_keeps_what_was_measured_and_says_what_was_not(self):
        import signal
        import time
        path, count = self.ctrl_c_file()
        for presses in (1, 2):
            shutil.rmtree(self.out, ignore_errors=True)
            p = subprocess.Popen([CLI, "measure", path, "--ini", self.ini, "--out", self.out, "--mode", "0"],
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            # After the third lot has begun.
            for line in p.stderr:
                if line.startswith("画地 3 /".encode()):
                    break
            for _ in range(presses):
                p.send_signal(signal.SIGINT)
                time.sleep(0.05)
            out, err = p.communicate(timeout=120)
            err = err.decode()
            self.assertEqual(p.returncode, 130, (presses, err))
            self.assertIn("Ctrl+C で中断しました", err)
            rows = self.summary()
            self.assertEqual(len(rows), count)
            measured = [r for r in rows if r["結果"] == "計測しました"]
            left = [r for r in rows if r["結果"] == "未計測（Ctrl+C で中断）"]
            self.assertEqual(len(measured) + len(left), count, rows)
            self.assertTrue(measured and left, (presses, len(measured)))
            for r in measured:
                self.assertTrue((self.out / (r["図面"] + "res.dxf")).exists(), r)
            for r in left:
                self.assertFalse((self.out / (r["名前"] + "res.dxf")).exists(), r)
                self.assertIn(" " + r["番号"], err) if int(r["番号"]) <= 20 else None

if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
