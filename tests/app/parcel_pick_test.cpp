// Whether the polyline the CAD exported surrounds the point the user
// picked, given in the user's coordinate system.
#include "app/parcel_pick.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/parcels.h"

namespace zelkan {
namespace {

TEST(ParcelPick, ThePolylineMustSurroundThePickedPoint) {
    auto t = std::make_unique<EngineTables>();
    sample::SetParcel(*t, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    const Ucs world{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const Ucs moved{{100, 200, 0}, {1, 0, 0}, {0, 1, 0}};
    const Ucs turned{{0, 0, 0}, {0, 1, 0}, {-1, 0, 0}};  // x along the drawing's y
    const struct {
        const char* name;
        Ucs ucs;
        const char* lastPoint;
        bool surrounds;
    } cases[] = {
        {"inside", world, "5.0000,5.0000,0.0000", true},
        {"beside it", world, "15.0000,5.0000,0.0000", false},
        {"far away", world, "-33900,-11900,0", false},
        {"inside, from a moved origin", moved, "-95,-195,0", true},
        {"the drawing's point in a moved system", moved, "5,5,0", false},
        {"inside, in a turned system", turned, "2,-5,0", true},
        {"the drawing's point in a turned system", turned, "5,2,0", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BoundarySurroundsPick(*t, c.ucs, c.lastPoint), c.surrounds);
    }
    // Two corners surround nothing.
    t->xynum = 2;
    EXPECT_FALSE(BoundarySurroundsPick(*t, world, "5,5,0"));
}

}  // namespace
}  // namespace zelkan
