"""Writes the parcels of the whole-run figures in bench/README.md into a
folder, as the CAD exports them: lots on a road curve and irregular round-ish
lots of 40, 80 and 100 corners, and regular polygons of 40 and 80 corners (every
triangle congruent to many others: the area modes' hardest case), in survey
coordinates to the millimetre.

    python3 bench/make_run_parcels.py /tmp/run-parcels
"""
import math
import random
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "samples"))
from make_samples import export  # noqa: E402


def road_curve_lot(n, seed):
    rng = random.Random(seed)
    cx, cy, radius = -12200.0, -34300.0, 60.0
    front, back = max(2, n * 2 // 3), 0
    back = n - front
    points = []
    for k in range(front):
        a = math.radians(200 + 50 * k / (front - 1))
        r = radius + rng.uniform(-0.05, 0.05)
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    for k in range(back):
        a = math.radians(250 - 50 * (k + 0.5) / back)
        r = radius + rng.uniform(16, 20)
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


def irregular_lot(n, seed):
    rng = random.Random(seed)
    angles = sorted(rng.uniform(0, 2 * math.pi) for _ in range(n))
    points = []
    for a in angles:
        r = 30 * rng.uniform(0.8, 1.0)
        points.append((-33990 + 1.4 * r * math.cos(a), -11990 + r * math.sin(a)))
    return points


def regular_polygon(n):
    # Radius 15 m, turned by 0.1 rad, as in the selection benchmark.
    return [(-21000 + 15 * math.cos(0.1 + 2 * math.pi * k / n),
             -5000 + 15 * math.sin(0.1 + 2 * math.pi * k / n)) for k in range(n)]


if __name__ == "__main__":
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for n in (40, 80, 100):
        (folder / f"road_curve_{n}.dxf").write_bytes(export(road_curve_lot(n, n)).encode("ascii"))
        (folder / f"irregular_{n}.dxf").write_bytes(export(irregular_lot(n, n)).encode("ascii"))
    for n in (40, 80):
        (folder / f"regular_{n}.dxf").write_bytes(export(regular_polygon(n)).encode("ascii"))
