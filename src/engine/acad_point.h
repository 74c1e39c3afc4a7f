#pragma once

namespace zelkan {

// A parcel vertex or a coordinate-system vector, in extended precision.
struct TAcadPoint {
    long double x = 0.0L;
    long double y = 0.0L;
    long double z = 0.0L;
};

}  // namespace zelkan
