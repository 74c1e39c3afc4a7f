#include "boundary/dxf_boundary_reader.h"

#include <optional>
#include <string_view>
#include <vector>

#include "boundary/dxf_pairs.h"
#include "geometry/errors.h"
#include "geometry/line_reader.h"
#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

// A vertex as the file supplies it: either coordinate may be missing.
struct ReadVertex {
    std::optional<double> x;
    std::optional<double> y;
};

}  // namespace

bool ReadBoundaryDxf(const std::string& fileName, EngineTables& t) {
    // Only ASCII keywords and numbers are compared, and no Shift-JIS byte
    // can be a line end, so the bytes need no decoding.
    // A drawing written with a byte order mark is read past it, as by the
    // reader of many polylines.
    DxfPairReader reader(OpenTextPastByteOrderMark(fileName), fileName);

    // Collected first and committed at the end, so that a failure leaves the
    // table as it was.
    std::vector<ReadVertex> vertices;
    bool inEntities = false;
    // The boundary is the first polyline of the ENTITIES section, from its
    // POLYLINE to its SEQEND: what comes after it (a second polyline, texts,
    // lines) never moves its corners.
    enum class Polyline { NotYet, Open, Ended } polyline = Polyline::NotYet;
    bool inVertex = false;  // the entity being read is a VERTEX of the boundary

    int32_t code = 0;
    std::string value;
    while (reader.Next(code, value)) {
        if (code == 0 && value == "SECTION") inEntities = false;
        if (code == 0) inVertex = false;
        if (code == 0 && value == "POLYLINE" && inEntities && polyline == Polyline::NotYet) polyline = Polyline::Open;
        if (code == 0 && value == "SEQEND" && polyline == Polyline::Open) polyline = Polyline::Ended;
        if (code == 0 && value == "VERTEX" && polyline == Polyline::Open) {
            if (static_cast<int32_t>(vertices.size()) >= kMaxVertices) throw CapacityError(kXynumOverflow);
            vertices.emplace_back();
            inVertex = true;
        }
        if (code == 2 && value == "ENTITIES" && !inEntities) inEntities = true;
        if (inVertex && (code == 10 || code == 20) && !value.empty()) {
            // A blank value reads as 0; anything else must be a number.
            const std::optional<double> coordinate =
                TrimSpaceNul(value).empty() ? std::optional<double>(0.0) : CoordinateOfText(value);
            if (!coordinate)
                throw InputOutputError(fileName, "DXF の" + std::to_string(reader.valueLine()) +
                                                     "行目の座標が数ではありません");
            (code == 10 ? vertices.back().x : vertices.back().y) = *coordinate;
        }
        // The polygon through the vertices of an arc is not the parcel: a
        // boundary with one is refused, not measured smaller.
        if (inVertex && code == 42) {
            const std::optional<double> bulge = CoordinateOfText(value);
            if (!bulge)
                throw InputOutputError(fileName, "DXF の" + std::to_string(reader.valueLine()) +
                                                     "行目のふくらみ（グループ 42）が数ではありません");
            if (*bulge != 0) throw InvalidInputError(ArcAtVertexMessage(vertices.size()));
        }
    }
    if (polyline == Polyline::Open)
        throw InputOutputError(fileName, "DXF がポリラインの途中で終わっています（SEQEND がありません）");

    t.xynum = static_cast<int32_t>(vertices.size());
    for (int32_t n = 1; n <= t.xynum; ++n) {
        const ReadVertex& v = vertices[static_cast<size_t>(n) - 1];
        TAcadPoint& p = t.xy[static_cast<size_t>(n)];
        if (v.x) p.x = *v.x;
        if (v.y) p.y = *v.y;
    }
    return true;
}

}  // namespace zelkan
