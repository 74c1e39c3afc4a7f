"""Writes the sample parcels as DXF R12 boundary exports (one closed
polyline, CR LF), the way the CAD exports the boundary it traced.

Coordinates are metres in a plane-rectangular system: the drawing's x is the
surveyor's Y (east), its y the surveyor's X (north), far from the origin as
Japanese survey coordinates are.
"""
import math
from pathlib import Path


def curved_lot():
    """A lot of 40 corners on the outside of a road curve: 28 corners along
    the curve (radius 60 m over 50 degrees), a back boundary of 12 corners
    that wanders as old fences do, about 50 m by 18 m."""
    cx, cy, radius = -12200.000, -34300.000, 60.0
    front = []
    for k in range(28):
        a = math.radians(200 + 50 * k / 27)
        wobble = 0.05 * math.sin(7 * k)
        front.append((cx + (radius + wobble) * math.cos(a), cy + (radius + wobble) * math.sin(a)))
    back = []
    for k in range(12):
        a = math.radians(250 - 50 * (k + 0.5) / 12)
        depth = 18.0 + 1.5 * math.sin(3.1 * k) + 0.7 * math.cos(5.3 * k)
        back.append((cx + (radius + depth) * math.cos(a), cy + (radius + depth) * math.sin(a)))
    return [(round(x, 3), round(y, 3)) for x, y in front + back]


PARCELS = {
    # A residential lot of 8 corners, about 21 m by 20 m.
    "residential.dxf": [
        (-12034.512, -34017.238), (-12016.087, -34019.904), (-12013.762, -34008.451),
        (-12014.905, -34001.117), (-12021.334, -33999.842), (-12029.018, -34000.576),
        (-12033.247, -34003.981), (-12035.106, -34010.663),
    ],
    # A narrow road-side strip: 40 m along the road, 3 m deep, the road edge
    # a long run of nearly collinear points.
    "roadside.dxf": [
        (-11800.000, -34200.000), (-11791.999, -34199.988), (-11783.997, -34199.981),
        (-11775.998, -34199.969), (-11767.996, -34199.960), (-11760.000, -34199.950),
        (-11759.900, -34196.980), (-11799.950, -34197.020),
    ],
    # A lot of 40 corners on a road curve, too many divisions to store them all.
    "curved_lot.dxf": curved_lot(),
    # A lot with a reflex corner (an L shape).
    "reflex_corner.dxf": [
        (-12100.000, -34100.000), (-12080.000, -34099.700), (-12079.600, -34088.000),
        (-12087.800, -34087.900), (-12088.000, -34075.000), (-12099.800, -34075.200),
    ],
}


def pairs(items):
    return "".join(f"{code:>3}\r\n{value}\r\n" for code, value in items)


def export(points):
    out = [(0, "SECTION"), (2, "HEADER"), (9, "$ACADVER"), (1, "AC1009"), (0, "ENDSEC"),
           (0, "SECTION"), (2, "TABLES"), (0, "ENDSEC"),
           (0, "SECTION"), (2, "BLOCKS"), (0, "ENDSEC"),
           (0, "SECTION"), (2, "ENTITIES"),
           (0, "POLYLINE"), (5, "2A"), (8, "0"), (66, "1"), (10, "0.0"), (20, "0.0"), (30, "0.0"), (70, "1")]
    for n, (x, y) in enumerate(points):
        out += [(0, "VERTEX"), (5, f"{0x2B + n:X}"), (8, "0"), (10, f"{x:.3f}"), (20, f"{y:.3f}"), (30, "0.0")]
    out += [(0, "SEQEND"), (5, f"{0x2B + len(points):X}"), (8, "0"), (0, "ENDSEC"), (0, "EOF")]
    return pairs(out)


if __name__ == "__main__":
    here = Path(__file__).parent
    for name, points in PARCELS.items():
        (here / name).write_bytes(export(points).encode("ascii"))
