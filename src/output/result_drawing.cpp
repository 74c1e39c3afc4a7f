#include "output/result_drawing.h"

#include <cmath>

#include "engine/evaluation.h"
#include "output/drawn_sides.h"
#include "output/dxf_writer.h"
#include "geometry/lines.h"

namespace zelkan {

namespace {

const TAcadPoint& P(const EngineTables& t, int32_t v) { return t.xy[static_cast<size_t>(v)]; }

double Length(const TAcadPoint& p, const TAcadPoint& q) { return static_cast<double>(Distance(p, q)); }

void LengthText(DxfFile& file, const DrawingStyle& s, long double x1, long double y1, long double x2, long double y2) {
    DxfLengthText(file, s.layerText, s.lengthMode, x1, y1, x2, y2, s.labelHeight, s.lengthDigits, s.measureScaleDenom);
}

void SideLengthText(DxfFile& file, const EngineTables& t, const DrawingStyle& s, int32_t a, int32_t b) {
    LengthText(file, s, P(t, a).x, P(t, a).y, P(t, b).x, P(t, b).y);
}

void SideLine(DxfFile& file, const EngineTables& t, const DrawingStyle& s, int32_t a, int32_t b) {
    DxfLine(file, s.layerHen, P(t, a).x, P(t, a).y, P(t, b).x, P(t, b).y);
}

// The inner sides collected while drawing, each once, with its length.
void DrawCollectedSides(DxfFile& file, const EngineTables& t, const DrawingStyle& s, const DrawnSides& drawn) {
    for (const auto& [a, b] : drawn.sides()) {
        SideLine(file, t, s, a, b);
        SideLengthText(file, t, s, a, b);
    }
}

struct Measured {
    int32_t apex, baseA, baseB;
};

// The longest side as base (by the side lengths as doubles), with the ties
// of the evaluation; the base ends in the order k, i / i, j / j, k.
Measured ChooseBaseAndApex(const EngineTables& t, const TTri& tri) {
    switch (LongestSide(Length(P(t, tri.j), P(t, tri.i)), Length(P(t, tri.k), P(t, tri.j)),
                        Length(P(t, tri.i), P(t, tri.k)))) {
        case Base::IJ: return Measured{tri.k, tri.i, tri.j};
        case Base::JK: return Measured{tri.i, tri.j, tri.k};
        case Base::KI: break;
    }
    return Measured{tri.j, tri.k, tri.i};
}

}  // namespace

void WriteResultDrawing(EngineTables& t, const std::string& fileName, int32_t firstNumber, const DrawingStyle& s) {
    DxfFile file;
    WriteDxfHeader(file);
    DrawnSides drawn;
    for (int32_t m = 1; m <= t.trinum; ++m) {
        const Measured d = ChooseBaseAndApex(t, t.tritable[static_cast<size_t>(m)]);
        const TAcadPoint &apex = P(t, d.apex), &baseA = P(t, d.baseA), &baseB = P(t, d.baseB);
        double fx = 0, fy = 0;
        if (!FootOfPerpendicular(fx, fy, static_cast<double>(baseA.x), static_cast<double>(baseA.y),
                                 static_cast<double>(baseB.x), static_cast<double>(baseB.y),
                                 static_cast<double>(apex.x), static_cast<double>(apex.y)))
            continue;
        DxfLine(file, s.layerTakasa, apex.x, apex.y, fx, fy);
        LengthText(file, s, apex.x, apex.y, fx, fy);
        DxfHeightNumberMark(file, t, s.layerText, d.apex, fx, fy, d.baseA, d.baseB, s.numberHeight, s.numberRadius,
                            firstNumber + m - 1);
        TTriHeight& h = t.triheights[static_cast<size_t>(m)];
        h.apex = apex;
        h.foot.x = fx;
        h.foot.y = fy;
        h.baseA = baseA;
        h.baseB = baseB;
        if (IsPolygonSide(t, d.baseA, d.baseB)) {
            SideLengthText(file, t, s, d.baseA, d.baseB);
        } else {
            drawn.Add(d.baseA, d.baseB);
        }
    }
    DrawCollectedSides(file, t, s, drawn);
    // The remaining inner sides, which are no triangle's base: lines only.
    for (int32_t m = 1; m <= t.trinum; ++m) {
        const TTri& tri = t.tritable[static_cast<size_t>(m)];
        const std::pair<int32_t, int32_t> sides[] = {{tri.i, tri.j}, {tri.j, tri.k}, {tri.i, tri.k}};
        for (const auto& [a, b] : sides) {
            if (IsPolygonSide(t, a, b) || drawn.Has(a, b)) continue;
            drawn.Add(a, b);
            SideLine(file, t, s, a < b ? a : b, a < b ? b : a);
        }
    }
    WriteDxfFooter(file);
    file.Save(fileName);
}

void WriteHeronResultDrawing(const EngineTables& t, const std::string& fileName, int32_t firstNumber,
                             const DrawingStyle& s) {
    DxfFile file;
    WriteDxfHeader(file);
    DrawnSides drawn;
    for (int32_t m = 1; m <= t.trinum; ++m) {
        const TTri& tri = t.tritable[static_cast<size_t>(m)];
        const TTriTemp& c = t.tritemp[static_cast<size_t>(tri.st)];
        DxfNumberMark(file, t, s.layerText, tri.i, tri.j, tri.k, s.numberHeight, s.numberRadius, firstNumber + m - 1);
        const struct {
            uint8_t edge;
            int32_t a, b;
        } sides[] = {{c.ijEdge, tri.i, tri.j}, {c.jkEdge, tri.j, tri.k}, {c.kiEdge, tri.i, tri.k}};
        for (const auto& side : sides) {
            if (side.edge) {
                SideLengthText(file, t, s, side.a, side.b);
            } else {
                drawn.Add(side.a, side.b);
            }
        }
    }
    DrawCollectedSides(file, t, s, drawn);
    WriteDxfFooter(file);
    file.Save(fileName);
}

}  // namespace zelkan
