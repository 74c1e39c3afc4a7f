"""Writes long strip parcels with near-straight corners, in survey
coordinates to the millimetre, for the row bound's figures in
bench/README.md: strips 100 to 400 m long and 5 to 20 m wide whose sides
wobble by centimetres, so that most corners lie within a degree of straight
(the parcels where Heron's formula on rounded sides prints slivers as 0).

- strips.sim: 40 strips of 16 to 48 corners, every one a 画地;
- strip_N.dxf: one strip of N corners as the CAD exports it, for
  N = 16, 24, 32, 48, 64, 96, 120 (the longer ones 400 + 5N m long);
- forest_N.dxf: a round-ish parcel of about 600 m by 400 m (an area of
  10^9 units of the printed areas' last decimal) with N corners at
  irregular angles, for N = 60, 80, 100, 109, 120.

The whole-run figures of bench/README.md measure each strip and forest
parcel with `zelkan-cli measure FILE --mode M` (M = 1, 2; Heron and base
and height) under /usr/bin/time.

    python3 bench/make_strip_parcels.py /tmp/strips
"""
import math
import random
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "samples"))
sys.path.insert(0, str(Path(__file__).resolve().parent))
from make_samples import export  # noqa: E402
from make_parcel_files import sima  # noqa: E402


def strip(rng, n, length):
    """n corners: half along a near-straight front, half along a back whose
    distance from it runs between 5 and 20 m; turned and placed at random."""
    front = n // 2
    back = n - front
    phase, period = rng.uniform(0, 2 * math.pi), rng.uniform(0.6, 1.5) * length

    def width(x):
        return 12.5 + 7.5 * math.sin(phase + 2 * math.pi * x / period)

    points = []
    for k in range(front):
        x = length * k / (front - 1) + (rng.uniform(-1, 1) if 0 < k < front - 1 else 0)
        points.append((x, rng.uniform(-0.05, 0.05)))
    for k in range(back):
        x = length * (back - 1 - k) / (back - 1) + (rng.uniform(-1, 1) if 0 < k < back - 1 else 0)
        points.append((x, width(x) + rng.uniform(-0.05, 0.05)))
    turn = rng.uniform(0, 2 * math.pi)
    c, s = math.cos(turn), math.sin(turn)
    return [(round(x * c - y * s, 3), round(x * s + y * c, 3)) for x, y in points]


def forest(n, seed, rx=300, ry=200):
    rng = random.Random(seed)
    angles = sorted(rng.uniform(0, 2 * math.pi) for _ in range(n))
    points = []
    for a in angles:
        r = rng.uniform(0.85, 1.0)
        points.append((round(-30000 + rx * r * math.cos(a), 3), round(-11000 + ry * r * math.sin(a), 3)))
    return points


def main(folder):
    folder.mkdir(parents=True, exist_ok=True)
    rng = random.Random(31)
    parcels = []
    for k in range(40):
        n = rng.choice((16, 24, 32, 40, 48))
        parcels.append(((-34000 + 500 * (k % 8), -12000 + 500 * (k // 8)), strip(rng, n, rng.uniform(100, 400))))
    (folder / "strips.sim").write_bytes(sima(parcels))
    for n in (16, 24, 32, 48, 64, 96, 120):
        length = 400 + 5 * n if n > 48 else 400 if n == 48 else 25 * n // 2
        points = [(x - 34000, y - 12000) for x, y in strip(random.Random(n), n, length)]
        (folder / f"strip_{n}.dxf").write_bytes(export(points).encode("ascii"))
    for n in (60, 80, 100, 109, 120):
        (folder / f"forest_{n}.dxf").write_bytes(export(forest(n, n)).encode("ascii"))


if __name__ == "__main__":
    main(Path(sys.argv[1]))
