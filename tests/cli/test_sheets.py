"""zelkan-cli's sheets and index page in real renderers: each sheet drawn by
librsvg (rsvg-convert) and looked at, index.html opened once in headless
chromium, its links counted and its sorting clicked.

Usage: test_sheets.py render|browse ZELKAN_CLI SAMPLES_DIR
Exits 77 (skipped) when the renderer it needs is not installed.
"""
import html
import json
import re
import shutil
import subprocess
import sys
import tempfile
from decimal import Decimal
from pathlib import Path
from urllib.parse import unquote

CHECK, CLI, SAMPLES = sys.argv[1], sys.argv[2], Path(sys.argv[3])
SKIP = 77
OUTLINE = (0x00, 0x00, 0xA0)  # the parcel's outline, a colour nothing else on a sheet has


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def expect(condition, message):
    if not condition:
        fail(message)


def measure(work, parcel, *options):
    p = subprocess.run([CLI, "measure", str(parcel), "--ini", str(SAMPLES / "zelkan.Ini"), "--out", str(work / "out"),
                        *map(str, options)], capture_output=True, timeout=300)
    expect(p.returncode in (0, 1, 3), f"{parcel}: exit {p.returncode}: {p.stderr.decode('utf-8', 'replace')}")
    return p


def outline_box_mm(svg):
    points = re.search(r'<polygon id="parcel-outline" points="([^"]*)"', svg).group(1).split()
    xs = [float(p.split(",")[0]) for p in points]
    ys = [float(p.split(",")[1]) for p in points]
    return min(xs), min(ys), max(xs), max(ys)


def sima_corners(path):
    """The corners of every parcel of a SIMA file, in metres (X north, Y east)."""
    points, parcels, current = {}, {}, None
    for line in path.read_bytes().decode("cp932").splitlines():
        f = [x.strip() for x in line.split(",")]
        if f[0] == "A01":
            points[f[1]] = (Decimal(f[3]), Decimal(f[4]))
        elif f[0] == "D00":
            current = parcels.setdefault(f[2], [])
        elif f[0] == "B01":
            current.append(points[f[1]])
    return parcels


def check_rendered(svg_path, extent_metres=None):
    from PIL import Image

    svg = svg_path.read_text(encoding="utf-8")
    png = svg_path.with_suffix(".png")
    p = subprocess.run(["rsvg-convert", "--format", "png", "--width", "2000", "--output", str(png), str(svg_path)],
                       capture_output=True, timeout=120)
    expect(p.returncode == 0 and not p.stderr.strip(), f"{svg_path.name}: rsvg-convert: {p.stderr!r}")
    image = Image.open(png).convert("RGB")
    width_mm = float(re.search(r'width="([\d.]+)mm"', svg).group(1))
    px_per_mm = image.width / width_mm
    pixels = image.load()
    colours, inked, outline = set(), 0, []
    for y in range(0, image.height):
        for x in range(0, image.width):
            c = pixels[x, y]
            colours.add(c)
            if c != (255, 255, 255):
                inked += 1
            if c[0] < 60 and c[1] < 60 and c[2] > 110 and c[2] - c[0] > 80:
                outline.append((x, y))
    expect(len(colours) >= 16, f"{svg_path.name}: {len(colours)} colours")
    expect(inked > image.width * image.height // 200, f"{svg_path.name}: blank ({inked} inked pixels)")
    expect(outline, f"{svg_path.name}: no outline drawn")
    left, top, right, bottom = outline_box_mm(svg)
    drawn = (min(x for x, _ in outline) / px_per_mm, min(y for _, y in outline) / px_per_mm,
             (max(x for x, _ in outline) + 1) / px_per_mm, (max(y for _, y in outline) + 1) / px_per_mm)
    for said, seen in zip((left, top, right, bottom), drawn):
        expect(abs(said - seen) < 0.5, f"{svg_path.name}: the outline drawn at {drawn}, the page says {(left, top, right, bottom)}")
    if extent_metres:
        scale = int(re.search(r">縮尺 1/(\d+)</text>", svg).group(1))
        for said_mm, metres in zip((right - left, bottom - top), extent_metres):
            expect(abs(Decimal(str(said_mm)) * scale / 1000 - metres) < Decimal("0.01") * scale / 1000 * 2,
                   f"{svg_path.name}: {said_mm} mm at 1/{scale} is not {metres} m")


def render():
    if not shutil.which("rsvg-convert"):
        print("rsvg-convert (librsvg2-bin) is not installed: skipped")
        sys.exit(SKIP)
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        for method in ("--sansha", "--heron"):
            sheet = work / f"residential{method}.svg"
            p = measure(work, SAMPLES / "residential.dxf", "--svg", sheet, method)
            expect(p.returncode == 0, p.stderr)
            check_rendered(sheet)
        p = measure(work, SAMPLES / "subdivision.sim", "--svg-dir", work / "sheets")
        expect(p.returncode == 0, p.stderr)
        for name, corners in sima_corners(SAMPLES / "subdivision.sim").items():
            north = [x for x, _ in corners]
            east = [y for _, y in corners]
            check_rendered(work / "sheets" / f"{name}.svg", (max(east) - min(east), max(north) - min(north)))


HARNESS = """<!DOCTYPE html><html><head><meta charset="utf-8"></head><body><pre id="result">pending</pre>
<iframe id="page" src="index.html"></iframe>
<script>
document.getElementById('page').addEventListener('load', () => {
  const d = document.getElementById('page').contentDocument;
  const headings = [...d.querySelectorAll('thead th')];
  const firsts = () => [...d.querySelectorAll('tbody tr')].map(r => r.cells[0].textContent.trim());
  const click = text => headings.find(th => th.textContent.trim() === text).click();
  const out = {links: [...d.querySelectorAll('tbody a[href]')].map(a => a.getAttribute('href')), before: firsts(),
               failed: [...d.querySelectorAll('tbody tr.failed')].map(r => r.cells[0].textContent.trim())};
  click('座標面積'); out.ascending = firsts();
  click('座標面積'); out.descending = firsts();
  click('名前'); out.byName = firsts();
  document.getElementById('result').textContent = JSON.stringify(out);
});
</script></body></html>
"""


def browse():
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not chromium:
        print("chromium is not installed: skipped")
        sys.exit(SKIP)
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        lots = work / "lots.sim"
        # Three measurable lots in no order of area, one that names a missing point.
        lots.write_text("G00,04,test,\nA00,\n"
                        "A01,1,K1,0.000,0.000,,\nA01,2,K2,0.000,20.000,,\nA01,3,K3,15.000,20.000,,\nA01,4,K4,15.000,0.000,,\n"
                        "A01,5,K5,30.000,0.000,,\nA01,6,K6,30.000,20.000,,\nA01,7,K7,20.000,40.000,,\nA01,8,K8,0.000,40.000,,\n"
                        "A99,\n"
                        "D00,1,B&amp;<乙>,1,\nB01,4,K4,\nB01,3,K3,\nB01,6,K6,\nB01,5,K5,\nD99,\n"
                        "D00,2,丙地,1,\nB01,2,K2,\nB01,8,K8,\nB01,7,K7,\nB01,3,K3,\nD99,\n"
                        "D00,3,欠け地,1,\nB01,1,K1,\nB01,99,K99,\nB01,2,K2,\nD99,\n"
                        "D00,4,甲地,1,\nB01,1,K1,\nB01,2,K2,\nB01,3,K3,\nD99,\n", encoding="utf-8")
        out = work / "out"
        measure(work, lots, "--svg-dir", out / "sheets")
        index = out / "index.html"
        expect(index.exists(), "no index.html")
        (out / "harness.html").write_text(HARNESS, encoding="utf-8")
        p = subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--allow-file-access-from-files",
                            f"--user-data-dir={work / 'profile'}", "--virtual-time-budget=10000", "--dump-dom",
                            (out / "harness.html").as_uri()], capture_output=True, timeout=180)
        found = re.search(r'<pre id="result">(.*?)</pre>', p.stdout.decode("utf-8"), re.S)
        expect(found and found.group(1) != "pending", f"the page did not load: {p.stderr.decode('utf-8', 'replace')[-2000:]}")
        result = json.loads(html.unescape(found.group(1)))
        expect(len(result["links"]) == 3, f"links: {result['links']}")
        for link in result["links"]:
            expect((out / unquote(link)).is_file(), f"the link {link} leads nowhere")
        expect(result["before"] == ["1", "2", "3", "4"], result["before"])
        expect(result["failed"] == ["3"], f"failed rows: {result['failed']}")
        # 甲地 150, 1: 300, 丙地 350 m²; the parcel not measured last either way.
        expect(result["ascending"] == ["4", "1", "2", "3"], f"ascending: {result['ascending']}")
        expect(result["descending"] == ["2", "1", "4", "3"], f"descending: {result['descending']}")
        expect(result["byName"][0] == "1", f"by name: {result['byName']}")


{"render": render, "browse": browse}[CHECK]()
print("ok")
