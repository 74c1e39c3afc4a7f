#pragma once
// The parts of a parcel's polygon that the candidate triangles divide. The
// part between corners a and b (corners a, a+1, ..., b, closed by the chord
// a-b) is divided by one triangle (a, c, b) on the chord and the parts
// (a, c) and (c, b) beside it; a part whose chord is a boundary side holds
// nothing more. The whole parcel is the part 1-n.
#include <cstdint>
#include <vector>

#include "engine/tables.h"

namespace zelkan {

inline constexpr int32_t kSidePart = -1;  // a boundary side: nothing to divide
inline constexpr int32_t kNoPart = -2;    // no candidate closes the chord: no way at all

// One way to divide a part: the candidate on its chord and the parts beside it.
struct PartWay {
    int32_t candidate = 0;
    int32_t left = kSidePart;
    int32_t right = kSidePart;
};

struct PolygonPart {
    int32_t a = 0, b = 0;
    std::vector<PartWay> ways;  // in candidate order
    long double share = 0;      // the part's area over the parcel's
};

struct PolygonParts {
    // Every chord that closes a candidate, shorter chords first, so that a
    // part's smaller parts come before it.
    std::vector<PolygonPart> parts;
    int32_t root = kNoPart;  // the part 1-n
};

// Needs the candidates enumerated and xynum corners in boundary order.
PolygonParts PartsOfPolygon(const EngineTables& t);

}  // namespace zelkan
