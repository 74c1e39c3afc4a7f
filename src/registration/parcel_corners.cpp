#include "registration/parcel_corners.h"

namespace zelkan {

namespace {

CoordinateCorner CornerOf(const TAcadPoint& p, std::string name, int32_t measureScaleDenom) {
    const long double scale = measureScaleDenom > 0 ? measureScaleDenom : 1;
    return CoordinateCorner{std::move(name), p.y / scale, p.x / scale};
}

}  // namespace

std::vector<CoordinateCorner> CornersOf(const std::vector<TAcadPoint>& corners, const std::vector<std::string>& names,
                                        int32_t measureScaleDenom) {
    std::vector<CoordinateCorner> out;
    for (size_t k = 0; k < corners.size(); ++k) {
        const bool named = k < names.size() && !names[k].empty();
        out.push_back(CornerOf(corners[k], named ? names[k] : std::to_string(k + 1), measureScaleDenom));
    }
    return out;
}

std::vector<CoordinateCorner> CornersOfTables(const EngineTables& t, int32_t measureScaleDenom) {
    std::vector<CoordinateCorner> out;
    for (int32_t v = 1; v <= t.xynum; ++v)
        out.push_back(CornerOf(t.xy[static_cast<size_t>(v)], std::to_string(v), measureScaleDenom));
    return out;
}

}  // namespace zelkan
