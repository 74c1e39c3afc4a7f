"""zelkan-cli on registry maps (地図XML, zip archives of them), as a process.

Usage: test_registry_map.py ZELKAN_CLI FIXTURES_DIR [WRAPPER]
The maps are made by tests/support/registry_map_xml.py; the areas expected
are the shoelace areas of their corners, computed here.
"""
import shutil
import subprocess
import sys
import tempfile
import unittest
from decimal import ROUND_HALF_UP, Decimal
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "support"))
from registry_map_xml import RegistryMap, zip_of  # noqa: E402

CLI, FIXTURES = sys.argv[1], Path(sys.argv[2])
WRAPPER = sys.argv[3:4]

SQUARE = [(0, 0), (0, 10), (10, 10), (10, 0)]  # (X, Y): 100 m²
L_SHAPE = [(0, 0), (0, 20), (10, 20), (10, 10), (20, 10), (20, 0)]  # 300 m²


def area(corners):
    s = sum(Decimal(str(x1)) * Decimal(str(y2)) - Decimal(str(x2)) * Decimal(str(y1))
            for (x1, y1), (x2, y2) in zip(corners, corners[1:] + corners[:1]))
    return str((abs(s) / 2).quantize(Decimal("0.001"), ROUND_HALF_UP))


def run(*args):
    p = subprocess.run(WRAPPER + [CLI, *map(str, args)], capture_output=True, timeout=300)
    return p.returncode, p.stdout.decode("utf-8"), p.stderr.decode("utf-8", "replace")


class RegistryMapCli(unittest.TestCase):
    def setUp(self):
        self.dir = Path(tempfile.mkdtemp(prefix="zelkan-map-"))
        self.out = self.dir / "out"

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def measure(self, name, data, *options):
        path = self.dir / name
        path.write_bytes(data.encode("utf-8") if isinstance(data, str) else data)
        code, out, err = run("measure", path, "--ini", self.dir / "none.Ini", "--out", self.out, "--mode", "0", *options)
        return code, err

    def rows(self):
        """summary.csv as {name: (number, corners, area, result, zone, accuracy)}."""
        text = (self.out / "summary.csv").read_bytes().decode("utf-8-sig")
        lines = text.split("\r\n")
        import csv
        header = lines[0].split(",")
        self.assertEqual(header[:11], "番号,名前,構成点,座標面積,表の合計,面積,差,モード,厳密,結果,系".split(","))
        rows = {}
        for r in csv.DictReader(lines[:-1]):
            rows[r["名前"]] = (r["番号"], int(r["構成点"]), r["座標面積"], r["結果"], r["系"], r["精度区分"])
        return rows

    def test_the_published_file_measures_its_parcel_by_its_number(self):
        data = (FIXTURES / "registry-map" / "12103-0400-76.zip").read_bytes()
        code, err = self.measure("12103-0400-76.zip", data, "--only", "194-1")
        self.assertEqual(code, 0, err)
        self.assertEqual(self.rows(), {"194-1": ("194-1", 4, "3.459", "計測しました", "公共座標9系", "甲一")})
        self.assertTrue((self.out / "194-1res.dxf").exists())

    def test_cases_of_a_generated_map(self):
        m = RegistryMap("公共座標9系")
        m.parcel("1", SQUARE, names=["A1", "A2", "A3", "A4"])
        m.parcel("2-1", L_SHAPE, accuracy="乙二")
        # A 筆 over two curves, the second running the other way.
        p = [m.point(x, y) for x, y in L_SHAPE]
        m.fude("3", m.surface([m.curve(p[0:4]), m.curve([p[0], p[5], p[4], p[3]])]))
        # The first curve the other way: only the second tells.
        p = [m.point(x, y) for x, y in SQUARE]
        m.fude("4", m.surface([m.curve([p[2], p[1], p[0]]), m.curve([p[2], p[3]]), m.curve([p[3], p[0]])]))
        # Positions written in the curves, no point ids.
        m.fude("5", m.surface([m.curve(SQUARE + SQUARE[:1])]))
        outer = m.ring_of([(0, 0), (0, 30), (30, 30), (30, 0)])
        hole = m.ring_of([(10, 10), (10, 20), (20, 20), (20, 10)])
        m.fude("6", m.surface(outer, [hole]))
        p = [m.point(x, y) for x, y in SQUARE]
        m.fude("7", m.surface([m.curve(p[0:3]), m.curve(p[2:4])]))  # does not close
        m.parcel("8", [(0, 0), (10, 10), (0, 10), (10, 0)])  # crosses itself
        m.fude("9", m.surface(["C999999999"]))  # a curve that is not there
        m.fude("10", "F999999999")  # a surface that is not there
        m.fude("11")  # no shape at all
        m.parcel("道", SQUARE, accuracy="")
        m.parcel("水", SQUARE)
        m.fude("地区外")
        m.parcel("別図", SQUARE)
        m.fude("12-1", undetermined=["12-2", "12-3"])
        m.parcel("13", [(0, 0), (0, "1O.5"), (10, 10), (10, 0)])  # a letter O in a number
        code, err = self.measure("town.xml", m.xml())
        self.assertEqual(code, 3, err)  # the worst of the parcels
        rows = self.rows()
        cases = [
            ("1", 4, area(SQUARE), "計測しました", "甲一"),
            ("2-1", 6, area(L_SHAPE), "計測しました", "乙二"),
            ("3", 6, area(L_SHAPE), "計測しました", "甲一"),
            ("4", 4, area(SQUARE), "計測しました", "甲一"),
            ("5", 4, area(SQUARE), "計測しました", "甲一"),
            ("6", 0, "", "穴（内側の境界）が 1 つあります", "甲一"),
            ("7", 0, "", "境界が閉じていません", "甲一"),
            ("8", 4, "", "筆界が交差しています", "甲一"),
            ("9", 0, "", "の曲線 C999999999 がありません", "甲一"),
            ("10", 0, "", "の面 F999999999 がありません", "甲一"),
            ("11", 0, "", "形状（面）がありません", "甲一"),
            ("道", 0, "", "地番のない筆です（道）", ""),
            ("水", 0, "", "地番のない筆です（水）", "甲一"),
            ("地区外", 0, "", "地番のない筆です（地区外）", "甲一"),
            ("別図", 0, "", "地番のない筆です（別図）", "甲一"),
            ("12-1", 0, "", "筆界未定の筆です（構成筆 12-2、12-3）", "甲一"),
            ("13", 0, "", "座標「1O.5」が数ではありません", "甲一"),
        ]
        self.assertEqual(sorted(rows), sorted(c[0] for c in cases))
        for name, corners, expected, result, accuracy in cases:
            with self.subTest(name):
                number, got_corners, got_area, got_result, zone, got_accuracy = rows[name]
                self.assertEqual((number, got_corners, got_area, got_accuracy, zone),
                                 (name, corners, expected, accuracy, "公共座標9系"))
                self.assertIn(result, got_result)
        # Problems in the file name their line.
        lines = m.xml().splitlines()
        line_of = next(n for n, text in enumerate(lines, 1) if "1O.5" in text)
        self.assertIn(f"{line_of} 行目", rows["13"][3])
        line_of = next(n for n, text in enumerate(lines, 1) if 'idref="C999999999"' in text)
        self.assertIn(f"{line_of} 行目", rows["9"][3])

    def test_local_coordinates_and_shared_numbers(self):
        m = RegistryMap("任意座標系")
        m.parcel("5", SQUARE, oaza="作草部町", chome="一丁目")
        m.parcel("5", L_SHAPE, oaza="作草部町", chome="二丁目", accuracy="乙三")
        m.parcel("6", L_SHAPE)
        # The same number in the same district again: its drawings must not
        # take the first one's files.
        m.parcel("5", [(0, 0), (0, 5), (5, 5), (5, 0)], oaza="作草部町", chome="一丁目")
        code, err = self.measure("local.xml", m.xml(), "--only", "5")
        self.assertEqual(code, 0, err)
        self.assertEqual(self.rows(), {
            "作草部町一丁目5": ("5", 4, area(SQUARE), "計測しました", "任意座標系", "甲一"),
            "作草部町二丁目5": ("5", 6, area(L_SHAPE), "計測しました", "任意座標系", "乙三"),
            "作草部町一丁目5（2）": ("5", 4, "25.000", "計測しました", "任意座標系", "甲一"),
        })
        self.assertEqual(len([p for p in self.out.iterdir() if p.name.endswith("res.dxf")]), 3)

    def test_an_archive_of_archives_keeps_the_good_beside_the_bad(self):
        def map_of(zone, *parcels):
            m = RegistryMap(zone)
            for number, corners in parcels:
                m.parcel(number, corners)
            return m.xml()

        inner = zip_of([("a.xml", map_of("公共座標9系", ("1", SQUARE))),
                        ("broken.xml", map_of("公共座標9系", ("9", SQUARE)).replace("</筆>", "</筆x>", 1)),
                        ("readme.txt", "not a map")])
        truncated = zip_of([("c.xml", map_of("公共座標9系", ("7", SQUARE)))])[:-30]
        outer = zip_of([("district-1.zip", inner), ("b.xml", map_of("任意座標系", ("2", L_SHAPE))),
                        ("district-2.zip", truncated),
                        ("other.xml", '<?xml version="1.0"?><kml><Document/></kml>')])
        code, err = self.measure("town.zip", outer)
        self.assertEqual(code, 3, err)
        rows = self.rows()
        self.assertEqual(rows["1"], ("1", 4, area(SQUARE), "計測しました", "公共座標9系", "甲一"))
        self.assertEqual(rows["2"], ("2", 6, area(L_SHAPE), "計測しました", "任意座標系", "甲一"))
        broken = [k for k in rows if k.endswith("district-1.zip/broken.xml")]
        self.assertEqual(len(broken), 1, rows)
        self.assertRegex(rows[broken[0]][3], r"^\d+ 行目: XML の誤りです")
        self.assertIn("zip の終わり", rows[next(k for k in rows if k.endswith("district-2.zip"))][3])
        self.assertIn("地図XML ではありません", rows[next(k for k in rows if k.endswith("other.xml"))][3])
        self.assertEqual(len(rows), 5)

    def test_a_file_that_cannot_be_read_is_an_error_naming_it(self):
        good = RegistryMap().xml()
        archive = zip_of([("a.xml", good)])
        cases = [
            ("kml.xml", '<?xml version="1.0"?>\n<kml/>\n', "地図XML ではありません"),
            ("unclosed.xml", good.replace("</主題属性>", ""), "行目: XML の誤りです"),
            ("truncated.zip", archive[: len(archive) // 2], "zip の終わり"),
            ("sima.zip", zip_of([("lots.sim", "G00,04,\r\n"), ("readme.txt", "")]), "zip に地図XML"),
            ("deep.xml", "<地図>" + "<a>" * 5000 + "</a>" * 5000 + "</地図>", "入れ子が深すぎます"),
        ]
        for name, data, message in cases:
            with self.subTest(name):
                code, err = self.measure(name, data)
                self.assertEqual(code, 3, err)
                self.assertIn(message, err)
                self.assertIn(name, err)
                self.assertFalse((self.out / "summary.csv").exists())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
