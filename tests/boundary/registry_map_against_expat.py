"""The registry-map reader (rapidxml, one element at a time) against a
reference reader on Python's XML parser (expat), on generated maps and on
thousands of copies broken at random places.

Usage: registry_map_against_expat.py REGISTRY_MAP_DUMP [CASES] [SEED]

Where expat reads a file, the reader must read it too and make the same
parcels of it (numbers, accuracy classes, zone, corners and their names, and
which 筆 cannot be measured). Where expat refuses a file, the reader should
refuse it as well; rapidxml accepts some text that XML forbids (a bare "&",
a "<" in an attribute value, text after the root element), and such a file
may be read: those are counted, and each must give parcels that a reading of
the text as written would give, which the checks below cannot know, so
they are only reported. The reader must never crash or hang on any of them.

Then archives of archives of the map, broken at random places, to the same
end: each one read or refused, none crashing the reader.
"""
import random
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "support"))
from registry_map_xml import RegistryMap, zip_of  # noqa: E402

DUMP = sys.argv[1]
CASES = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
SEED = int(sys.argv[3]) if len(sys.argv) > 3 else 36


def local(tag):
    return tag.rsplit("}", 1)[-1]


def children(e, name):
    return [c for c in e if local(c.tag) == name]


def child(e, name):
    found = children(e, name)
    return found[0] if found else None


def descendants(e, name):
    return [d for d in e.iter() if d is not e and local(d.tag) == name]


def text(e):
    return (e.text or "").strip() if e is not None else ""


def attribute(e, name):
    for k, v in e.attrib.items():
        if local(k) == name:
            return v
    return ""


def number(s):
    import re
    return re.fullmatch(r"[+-]?(\d+\.?\d*|\.\d+)", s.strip(" \0")) is not None


class Problem(Exception):
    pass


def reference(data):
    """The parcels as the reader should make them, one line each."""
    root = ET.fromstring(data)
    if local(root.tag) != "地図":
        raise Problem("not a map")
    zone = text(child(root, "座標系"))
    points, curves, surfaces, names = {}, {}, {}, {}
    spatial = child(root, "空間属性")
    for e in (spatial if spatial is not None else []):
        kind = local(e.tag)
        table = {"GM_Point": points, "GM_Curve": curves, "GM_Surface": surfaces}.get(kind)
        if table is not None:
            table.setdefault(attribute(e, "id"), e)
    thematic = child(root, "主題属性")
    fudes = []
    for e in (thematic if thematic is not None else []):
        if local(e.tag) == "筆界点":
            shape, name = child(e, "形状"), text(child(e, "点番名"))
            if shape is not None and name:
                names.setdefault(attribute(shape, "idref"), name)
        elif local(e.tag) == "筆":
            fudes.append(e)

    def position(e):
        xs, ys = descendants(e, "X"), descendants(e, "Y")
        if not xs or not ys or not number(text(xs[0])) or not number(text(ys[0])):
            raise Problem("position")
        return (float(text(xs[0])), float(text(ys[0])))

    def curve(ref):
        e = curves.get(ref)
        if not ref or e is None:
            raise Problem("curve")
        corners = []
        columns = descendants(e, "GM_PointArray.column")
        if len(columns) < 2:
            raise Problem("short curve")
        for column in columns:
            refs = descendants(column, "GM_PointRef.point")
            if refs:
                pid = attribute(refs[0], "idref")
                if not pid or pid not in points:
                    raise Problem("point")
                corners.append((position(points[pid]), pid))
            else:
                corners.append((position(column), ""))
        orientation = descendants(e, "GM_OrientablePrimitive.orientation")
        if orientation and text(orientation[0]) == "-":
            corners.reverse()
        return corners

    def outline(ref):
        e = surfaces.get(ref)
        if not ref or e is None:
            raise Problem("surface")
        outer = descendants(e, "GM_SurfaceBoundary.exterior")
        if descendants(e, "GM_SurfaceBoundary.interior") or len(outer) != 1:
            raise Problem("rings")
        generators = descendants(outer[0], "GM_CompositeCurve.generator")
        if not generators:
            raise Problem("no curves")
        ring = []
        for k, g in enumerate(generators):
            c = curve(attribute(g, "idref"))
            if k == 0:
                ring = c
                continue
            same = lambda a, b: a[0] == b[0]  # noqa: E731
            if k == 1 and not (same(ring[-1], c[0]) or same(ring[-1], c[-1])) and \
                    (same(ring[0], c[0]) or same(ring[0], c[-1])):
                ring.reverse()
            if same(ring[-1], c[-1]):
                c.reverse()
            if not same(ring[-1], c[0]):
                raise Problem("chain")
            ring += c[1:]
        if len(ring) < 2 or ring[0][0] != ring[-1][0]:
            raise Problem("open")
        return ring[:-1]

    lines = []
    for f in fudes:
        chiban = text(child(f, "地番"))
        head = f"{chiban}|{text(child(f, '精度区分'))}|{zone}|"
        try:
            if child(f, "筆界未定構成筆") is not None or not any(ch.isdigit() for ch in chiban):
                raise Problem("not a parcel")
            shape = child(f, "形状")
            if shape is None:
                raise Problem("no shape")
            ring = outline(attribute(shape, "idref"))
            if len(ring) < 3:
                raise Problem("few")
            named = any(names.get(pid) for _, pid in ring)
            lines.append(head + "".join(f"{x:.3f},{y:.3f},{names.get(pid, '') if named and pid else ''};"
                                        for (x, y), pid in ring))
        except Problem:
            lines.append(head + "problem")
    return lines


def sample_map():
    m = RegistryMap("公共座標9系")
    m.parcel("1", [(0, 0), (0, 10), (10, 10), (10, 0)], names=["A1", "A2", "A3", "A4"])
    p = [m.point(x, y) for x, y in [(0, 0), (0, 20), (10, 20), (10, 10), (20, 10), (20, 0)]]
    m.fude("2-1", m.surface([m.curve(p[0:4]), m.curve([p[0], p[5], p[4], p[3]])]), accuracy="乙二")
    m.fude("3", m.surface([m.curve([(1.5, 2.5), (1.5, 7.25), (8, 7.25), (1.5, 2.5)])]))
    m.fude("道")
    return m.xml()


def mutations(data, rng, count):
    pieces = ["<", ">", "/", '"', "'", "&", "&amp;", "a", "\n", "-", "<!--", "-->", "]]>", "<![CDATA[", "</",
              "/>", "=", "0", ".", "\0", "<地図>", "</筆>", "<zmn:X>"]
    for _ in range(count):
        b = bytearray(data)
        for _ in range(rng.choice([1, 1, 1, 2, 3])):
            at = rng.randrange(len(b))
            span = rng.randint(1, 24)
            kind = rng.randrange(4)
            if kind == 0:
                del b[at:at + span]
            elif kind == 1:
                b[at:at] = b[at:at + span]
            elif kind == 2:
                b[at:at] = rng.choice(pieces).encode()
            else:
                b[at] = rng.randrange(256)
        yield bytes(b)


def main():
    rng = random.Random(SEED)
    base = sample_map().encode()
    documents = [base] + list(mutations(base, rng, CASES))
    with tempfile.TemporaryDirectory(prefix="zelkan-expat-") as folder:
        paths = []
        for n, d in enumerate(documents):
            path = Path(folder) / f"{n:05d}.xml"
            path.write_bytes(d)
            paths.append(str(path))
        out = subprocess.run([DUMP, *paths], capture_output=True, timeout=600)
        if out.returncode != 0:
            print("the reader ended with", out.returncode, out.stderr.decode(errors="replace"))
            return 1
        results, current = {}, None
        for line in out.stdout.decode("utf-8", "replace").split("\n"):
            if line.startswith("== "):
                current = line[3:]
                results[current] = []
            elif line and current is not None:
                results[current].append(line)
    failures, lenient, agreed_errors, agreed = 0, 0, 0, 0
    for path, d in zip(paths, documents):
        ours = results.get(path)
        try:
            expected = reference(d)
        except (ET.ParseError, Problem):
            expected = None
        except Exception:  # text that is no UTF-8 and the like: expat refuses it
            expected = None
        if expected is None:
            if ours == ["error"]:
                agreed_errors += 1
            else:
                lenient += 1
            continue
        if "\n".join(ours or []) != "\n".join(expected):  # a line end in a text splits the reader's line
            failures += 1
            if failures <= 5:
                print("differs:", path, "\n  reader:   ", ours, "\n  reference:", expected)
        else:
            agreed += 1
    print(f"{len(documents)} files: {agreed} read alike, {agreed_errors} refused by both, "
          f"{lenient} refused by expat only (read by rapidxml), {failures} different")
    if results.get(paths[0]) != reference(base):
        print("the unbroken map differs")
        return 1
    return 1 if failures or not archives_survive(rng, base) else 0


def archives_survive(rng, base):
    archive = zip_of([("district.zip", zip_of([("a.xml", base), ("b.xml", base)])), ("c.xml", base)])
    documents = [archive] + list(mutations(archive, rng, CASES // 4))
    with tempfile.TemporaryDirectory(prefix="zelkan-zip-") as folder:
        paths = []
        for n, d in enumerate(documents):
            path = Path(folder) / f"{n:05d}.zip"
            path.write_bytes(d)
            paths.append(str(path))
        out = subprocess.run([DUMP, *paths], capture_output=True, timeout=600)
    lines = out.stdout.decode("utf-8", "replace").split("\n")
    read = sum(1 for k, line in enumerate(lines) if line.startswith("== ") and k + 1 < len(lines)
               and lines[k + 1] != "error")
    print(f"{len(documents)} archives: {read} read, {len(documents) - read} refused")
    if out.returncode != 0:
        print("the reader ended with", out.returncode, out.stderr.decode(errors="replace")[-2000:])
        return False
    return True


if __name__ == "__main__":
    sys.exit(main())
