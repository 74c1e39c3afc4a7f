"""Writes the SIMA files of the figures for files of many parcels in
bench/README.md into a folder:

- lots-1000.sim: 1 000 parcels of 4 to 40 corners, to the millimetre:
  subdivision lots (rectangles with points along their sides), lots on a
  road curve, and flag lots (a lot behind another, reached by a pole);
- points-100k.sim: 100 000 points and 10 000 parcels of 10 corners, for
  the reading alone.

    python3 bench/make_parcel_files.py /tmp/parcel-files
"""
import math
import random
import sys
from pathlib import Path


def subdivision_lot(rng, n):
    w, h = rng.uniform(12, 20), rng.uniform(15, 30)
    corners = [(0, 0), (w, 0), (w, h), (0, h)]
    extra = n - 4
    points = []
    for k in range(4):
        (ax, ay), (bx, by) = corners[k], corners[(k + 1) % 4]
        points.append((ax, ay))
        count = extra // 4 + (1 if k < extra % 4 else 0)
        for j in range(1, count + 1):
            t = j / (count + 1)
            points.append((ax + (bx - ax) * t + rng.uniform(-0.02, 0.02), ay + (by - ay) * t + rng.uniform(-0.02, 0.02)))
    return points


def road_curve_lot(rng, n):
    radius = 60.0
    front = max(2, n * 2 // 3)
    back = n - front
    points = []
    for k in range(front):
        a = math.radians(200 + 30 * k / (front - 1))
        r = radius + rng.uniform(-0.05, 0.05)
        points.append((r * math.cos(a), r * math.sin(a)))
    for k in range(back):
        a = math.radians(230 - 30 * (k + 0.5) / back)
        r = radius + rng.uniform(16, 20)
        points.append((r * math.cos(a), r * math.sin(a)))
    return points


def flag_lot(rng, n):
    # A pole of 3 m to the road, then the lot behind; extra points on the lot's back side.
    pole, depth, w, h = 3.0, rng.uniform(15, 25), rng.uniform(12, 18), rng.uniform(12, 18)
    points = [(0, 0), (pole, 0), (pole, depth), (w, depth)]
    extra = max(0, n - 8)
    for j in range(1, extra + 1):
        points.append((w + rng.uniform(-0.02, 0.02), depth + h * j / (extra + 1)))
    points += [(w, depth + h), (0, depth + h), (0, depth)]
    return points


def sima(parcels):
    lines = ["G00,04,bench,", "Z01,9,", "A00,"]
    number = 0
    refs = []
    for origin, points in parcels:
        ids = []
        for x, y in points:
            number += 1
            # Drawing x is Y (east), y is X (north).
            lines.append(f"A01,{number},P{number},{origin[1] + y:.3f},{origin[0] + x:.3f},,")
            ids.append(number)
        refs.append(ids)
    lines.append("A99,")
    for k, ids in enumerate(refs, 1):
        lines.append(f"D00,{k},lot{k},1,")
        lines += [f"B01,{i},P{i}," for i in ids]
        lines.append("D99,")
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def main(folder):
    folder.mkdir(parents=True, exist_ok=True)
    rng = random.Random(1)
    makers = [subdivision_lot, road_curve_lot, flag_lot]
    parcels = []
    for k in range(1000):
        n = rng.randint(4, 40)
        points = makers[k % 3](rng, n)
        parcels.append(((-34000 + 100 * (k % 40), -12000 + 100 * (k // 40)), points))
    (folder / "lots-1000.sim").write_bytes(sima(parcels))
    big = []
    for k in range(10000):
        points = [(15 * math.cos(2 * math.pi * j / 10) + rng.uniform(-0.5, 0.5),
                   15 * math.sin(2 * math.pi * j / 10) + rng.uniform(-0.5, 0.5)) for j in range(10)]
        big.append(((-34000 + 40 * (k % 100), -12000 + 40 * (k // 100)), points))
    (folder / "points-100k.sim").write_bytes(sima(big))


if __name__ == "__main__":
    main(Path(sys.argv[1]))
