#include "registration/registration_figures.h"

#include <utility>

namespace zelkan {

namespace {

bool SameValue(const DecimalText& a, const DecimalText& b) { return Difference(a, b).units == 0; }

}  // namespace

RegistrationFigures RegistrationFiguresOf(CoordinateTable table, const std::string& sanshaAreaText,
                                          const RegistrationInput& input) {
    RegistrationFigures f;
    f.table = std::move(table);
    f.input = input;
    const DecimalText& area = f.table.area;
    f.coordinateChiseki = RegisteredArea(area, input.landClass);
    f.sanshaArea = ParseDecimalText(sanshaAreaText);
    if (f.sanshaArea) {
        f.sanshaChiseki = RegisteredArea(*f.sanshaArea, input.landClass);
        f.chisekiAgree = SameValue(*f.sanshaChiseki, f.coordinateChiseki);
    }
    f.tolerance = AreaTolerance(input.precision, area);
    if (f.tolerance) {
        if (f.sanshaArea) f.sanshaWithin = WithinTolerance(*f.sanshaArea, area, *f.tolerance);
        if (input.registeredArea) f.registeredWithin = WithinTolerance(area, *input.registeredArea, *f.tolerance);
    }
    return f;
}

}  // namespace zelkan
