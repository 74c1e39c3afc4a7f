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
    for line in stdout.splitlines():
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

    def written(self):
        return sorted(p.name for p in self.out.iterdir()) if self.out.exists() else []

    def test_help_and_version(self):
        code, out, _ = run("--help")
        self.assertEqual(code, 0)
        self.assertIn("zelkan-cli measure PARCEL.dxf", out)
        code, out, _ = run("--version")
        self.assertEqual((code, out.startswith("zelkan-cli ")), (0, True))

    def test_usage_errors(self):
        for args in ([], ["frobnicate"], ["measure"], ["measure", "a.dxf", "b.dxf"], ["measure", "a.dxf", "--mode", "7"],
                     ["measure", "a.dxf", "--mode"], ["measure", "a.dxf", "--bogus"], ["measure", "a.dxf", "--heron=1"]):
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

    def test_fast_mode_and_settings_from_the_ini_file(self):
        self.ini.write_bytes("[面積]\r\nヘロン=0\r\n[結果]\r\nログ保存=1\r\n".encode("cp932"))
        code, out, err = self.measure(SAMPLES / "roadside.dxf", "--mode", "3")
        self.assertEqual(code, 0, err)
        self.assertIn("底辺", out)
        self.assertNotIn("分割", out)
        names = self.written()
        self.assertEqual([n for n in names if n.endswith((".tri", ".trw"))], [])
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
                         "\ufeff番号,名前,構成点,座標面積,表の合計,面積,差,モード,厳密,結果,系\r\n"
                         # 28.28 x 14.14 twice: base x height totals count twice the area
                         "1,一号地,4,400.000,799.7584,399.88,0.120,0,はい,計測しました,9\r\n"
                         "2,二号地,4,400.000,799.7584,399.88,0.120,0,はい,計測しました,9\r\n"
                         "3,三号地,2,,,,,0,,25 行目の点 8 P8 が座標にありません,9\r\n")
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
            rows = [line.split(",") for line in
                    (self.out / "summary.csv").read_text(encoding="utf-8-sig").splitlines()[1:]]
            self.assertEqual([r[0] for r in rows], ["1", "2", "3"], version)
            self.assertEqual([r[3] for r in rows[:2]], ["400.000", "400.000"], version)
            self.assertEqual([r[-2] for r in rows[:2]], ["計測しました"] * 2, version)
            self.assertIn("頂点 1 に円弧があります", rows[2][-2])
        # Without a layer, the triangle on the other layer is measured too.
        shutil.rmtree(self.out)
        code, _, err = self.measure(self.lots_dxf("R2000"), "--only", "4")
        self.assertEqual(code, 0, err)
        rows = (self.out / "summary.csv").read_text(encoding="utf-8-sig").splitlines()[1:]
        self.assertEqual(len(rows), 1)
        self.assertTrue(rows[0].startswith("4,4,3,50.000,"), rows[0])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
