"""Writes the sample parcels as DXF R12 boundary exports (one closed
polyline, CR LF), the way the CAD exports the boundary it traced.

Coordinates are metres in a plane-rectangular system: the drawing's x is the
surveyor's Y (east), its y the surveyor's X (north), far from the origin as
Japanese survey coordinates are.
"""
from pathlib import Path

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
