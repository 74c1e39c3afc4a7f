"""Registry-map files (地図XML) made to order, in the structure of the published
ones: the points (GM_Point), the curves between them (GM_Curve, their points
by reference or written in them), the surfaces whose rings chain the curves
(GM_Surface), then the boundary points with their names (筆界点) and the
筆 that refer to the surfaces. Used by the tests and the benchmarks.

    m = RegistryMap("公共座標9系")
    m.parcel("12-3", [(x1, y1), (x2, y2), ...], names=["K1", ...])
    text = m.xml()
"""
import io
import random
import zipfile

HEAD = ('<?xml version="1.0" encoding="UTF-8"?>\n'
        '<地図 xmlns="http://www.moj.go.jp/MINJI/tizuxml" xmlns:zmn="http://www.moj.go.jp/MINJI/tizuzumen" '
        'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" '
        'xsi:schemaLocation="http://www.moj.go.jp/MINJI/tizuxml tizuxml.xsd">\n'
        '\t<version>ver1.0</version>\n\t<地図名>generated</地図名>\n'
        '\t<市区町村コード>99999</市区町村コード>\n\t<市区町村名>試験市</市区町村名>\n')


def coordinate(value):
    """A coordinate as the files write it, to the millimetre; a text stays as it is."""
    return value if isinstance(value, str) else f"{value:.3f}"


class RegistryMap:
    def __init__(self, zone="公共座標9系"):
        self.zone = zone
        self.spatial, self.thematic = [], []
        self.counts = {"P": 0, "C": 0, "F": 0, "H": 0}

    def _id(self, kind):
        self.counts[kind] += 1
        return f"{kind}{self.counts[kind]:09d}"

    def point(self, x, y):
        """A point, X north and Y east; its id."""
        pid = self._id("P")
        self.spatial.append(
            f'\t\t<zmn:GM_Point id="{pid}">\n\t\t\t<zmn:GM_Point.position>\n\t\t\t\t<zmn:DirectPosition>\n'
            f'\t\t\t\t\t<zmn:X>{coordinate(x)}</zmn:X>\n\t\t\t\t\t<zmn:Y>{coordinate(y)}</zmn:Y>\n'
            f'\t\t\t\t</zmn:DirectPosition>\n\t\t\t</zmn:GM_Point.position>\n\t\t</zmn:GM_Point>\n')
        return pid

    def curve(self, points, orientation="+"):
        """A curve through points: point ids, or (x, y) written in the curve."""
        cid = self._id("C")
        columns = []
        for p in points:
            if isinstance(p, str):
                inner = (f'\t\t\t\t\t\t\t<zmn:GM_Position.indirect>\n\t\t\t\t\t\t\t\t<zmn:GM_PointRef.point idref="{p}"/>\n'
                         f'\t\t\t\t\t\t\t</zmn:GM_Position.indirect>\n')
            else:
                inner = (f'\t\t\t\t\t\t\t<zmn:GM_Position.direct>\n\t\t\t\t\t\t\t\t<zmn:X>{coordinate(p[0])}</zmn:X>\n'
                         f'\t\t\t\t\t\t\t\t<zmn:Y>{coordinate(p[1])}</zmn:Y>\n\t\t\t\t\t\t\t</zmn:GM_Position.direct>\n')
            columns.append(f'\t\t\t\t\t\t<zmn:GM_PointArray.column>\n{inner}\t\t\t\t\t\t</zmn:GM_PointArray.column>\n')
        self.spatial.append(
            f'\t\t<zmn:GM_Curve id="{cid}">\n'
            f'\t\t\t<zmn:GM_OrientablePrimitive.orientation>{orientation}</zmn:GM_OrientablePrimitive.orientation>\n'
            f'\t\t\t<zmn:GM_OrientablePrimitive.primitive idref="{cid}"/>\n'
            f'\t\t\t<zmn:GM_Curve.segment>\n\t\t\t\t<zmn:GM_LineString>\n\t\t\t\t\t<zmn:GM_LineString.controlPoint>\n'
            + "".join(columns) +
            f'\t\t\t\t\t</zmn:GM_LineString.controlPoint>\n\t\t\t\t</zmn:GM_LineString>\n\t\t\t</zmn:GM_Curve.segment>\n'
            f'\t\t</zmn:GM_Curve>\n')
        return cid

    def surface(self, exterior, interiors=()):
        """A surface: its outer ring and any holes, each a list of curve ids."""
        fid = self._id("F")

        def ring(curves):
            return ("\t\t\t\t\t\t\t\t<zmn:GM_Ring>\n"
                    + "".join(f'\t\t\t\t\t\t\t\t\t<zmn:GM_CompositeCurve.generator idref="{c}"/>\n' for c in curves)
                    + "\t\t\t\t\t\t\t\t</zmn:GM_Ring>\n")

        holes = "".join(f"\t\t\t\t\t\t\t<zmn:GM_SurfaceBoundary.interior>\n{ring(h)}"
                        f"\t\t\t\t\t\t\t</zmn:GM_SurfaceBoundary.interior>\n" for h in interiors)
        self.spatial.append(
            f'\t\t<zmn:GM_Surface id="{fid}">\n\t\t\t<zmn:GM_Surface.patch>\n\t\t\t\t<zmn:GM_Polygon>\n'
            f'\t\t\t\t\t<zmn:GM_Polygon.boundary>\n\t\t\t\t\t\t<zmn:GM_SurfaceBoundary>\n'
            f'\t\t\t\t\t\t\t<zmn:GM_SurfaceBoundary.exterior>\n{ring(exterior)}'
            f'\t\t\t\t\t\t\t</zmn:GM_SurfaceBoundary.exterior>\n{holes}'
            f'\t\t\t\t\t\t</zmn:GM_SurfaceBoundary>\n\t\t\t\t\t</zmn:GM_Polygon.boundary>\n'
            f'\t\t\t\t</zmn:GM_Polygon>\n\t\t\t</zmn:GM_Surface.patch>\n\t\t</zmn:GM_Surface>\n')
        return fid

    def boundary_point(self, name, pid):
        self.thematic.append(f"\t\t<筆界点>\n\t\t\t<点番名>{name}</点番名>\n\t\t\t<形状 idref=\"{pid}\"/>\n\t\t</筆界点>\n")

    def fude(self, chiban, surface=None, accuracy="甲一", oaza="作草部町", chome=None, undetermined=()):
        """A 筆 referring to a surface (None: no 形状); undetermined lists the
        地番 of an undetermined boundary's members."""
        hid = self._id("H")
        parts = [f'\t\t<筆 id="{hid}">\n\t\t\t<大字コード>015</大字コード>\n\t\t\t<丁目コード>000</丁目コード>\n'
                 f'\t\t\t<小字コード>0000</小字コード>\n\t\t\t<予備コード>00</予備コード>\n\t\t\t<大字名>{oaza}</大字名>\n']
        if chome:
            parts.append(f"\t\t\t<丁目名>{chome}</丁目名>\n")
        parts.append(f"\t\t\t<地番>{chiban}</地番>\n")
        for member in undetermined:
            parts.append(f"\t\t\t<筆界未定構成筆>\n\t\t\t\t<大字コード>015</大字コード>\n"
                         f"\t\t\t\t<地番>{member}</地番>\n\t\t\t</筆界未定構成筆>\n")
        if surface:
            parts.append(f'\t\t\t<形状 idref="{surface}"/>\n')
        parts.append(f"\t\t\t<精度区分>{accuracy}</精度区分>\n\t\t\t<座標値種別>測量成果</座標値種別>\n\t\t</筆>\n")
        self.thematic.append("".join(parts))
        return hid

    def ring_of(self, corners, names=None):
        """Points for the corners (named where names are given) and a curve of
        two points for each side, as the published files have them."""
        pids = [self.point(x, y) for x, y in corners]
        for name, pid in zip(names or [], pids):
            if name:
                self.boundary_point(name, pid)
        return [self.curve([pids[k], pids[(k + 1) % len(pids)]]) for k in range(len(pids))]

    def parcel(self, chiban, corners, names=None, **fude):
        """A 筆 with a surface of one ring through corners ((X, Y) pairs)."""
        return self.fude(chiban, self.surface(self.ring_of(corners, names)), **fude)

    def xml(self):
        return (HEAD + f"\t<座標系>{self.zone}</座標系>\n\t<測地系判別>測量</測地系判別>\n"
                + "\t<空間属性>\n" + "".join(self.spatial) + "\t</空間属性>\n"
                + "\t<主題属性>\n" + "".join(self.thematic) + "\t</主題属性>\n</地図>\n")


def zip_of(members):
    """A zip archive (deflated) of (name, bytes or str) members."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in members:
            archive.writestr(name, data.encode("utf-8") if isinstance(data, str) else data)
    return buffer.getvalue()


def star_polygon(rng, n, cx, cy, radius):
    """A simple polygon of n corners around (cx, cy): distinct angles, each
    corner between 0.6 and 1 radius out, to the millimetre."""
    step = 6.283185307179586 / n
    import math
    corners = []
    for k in range(n):
        angle = step * (k + rng.uniform(0.1, 0.9))
        r = radius * rng.uniform(0.6, 1.0)
        corners.append((round(cx + r * math.cos(angle), 3), round(cy + r * math.sin(angle), 3)))
    return corners


def town(parcels, points, seed=1, zone="公共座標9系"):
    """A map of that many 筆 (4 to 40 corners each) with that many corners in
    all, laid out on a grid 30 m apart, every 筆 numbered."""
    rng = random.Random(seed)
    counts = [4] * parcels
    spare = points - 4 * parcels
    while spare > 0:
        k = rng.randrange(parcels)
        if counts[k] < 40:
            counts[k] += 1
            spare -= 1
    m = RegistryMap(zone)
    side = int(parcels ** 0.5) + 1
    for k, n in enumerate(counts):
        row, column = divmod(k, side)
        corners = star_polygon(rng, n, -42000.0 + 30.0 * row, 25000.0 + 30.0 * column, 12.0)
        m.parcel(f"{k + 1}-1", corners, names=[f"K{k + 1}-{j + 1}" for j in range(n)],
                 accuracy=("甲一", "甲二", "乙一")[k % 3])
    return m.xml()


def main():
    """Writes a generated map: OUT.xml, or OUT.zip of --files maps (of
    archives of them with --nested), --parcels 筆 and --points corners in all."""
    import argparse
    p = argparse.ArgumentParser(description=main.__doc__)
    p.add_argument("out")
    p.add_argument("--parcels", type=int, default=10000)
    p.add_argument("--points", type=int, default=60000)
    p.add_argument("--files", type=int, default=1)
    p.add_argument("--nested", action="store_true")
    a = p.parse_args()
    if not a.out.endswith(".zip"):
        with open(a.out, "w", encoding="utf-8") as f:
            f.write(town(a.parcels, a.points))
        return
    each, points = a.parcels // a.files, a.points // a.files
    members = [(f"map-{k + 1:04d}.xml", town(each, points, seed=k + 1)) for k in range(a.files)]
    if a.nested:
        members = [(f"district-{k + 1:04d}.zip", zip_of([m])) for k, m in enumerate(members)]
    with open(a.out, "wb") as f:
        f.write(zip_of(members))


if __name__ == "__main__":
    main()
