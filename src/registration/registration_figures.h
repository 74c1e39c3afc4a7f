#pragma once
// What a surveyor files beside the 三斜 table, tied together: the
// coordinate-method table, the 地積 as registered from both areas, and
// whether the areas agree within the tolerance of the survey's 精度区分.
#include <optional>
#include <string>
#include <vector>

#include "engine/decimal_units.h"
#include "registration/area_tolerance.h"
#include "registration/coordinate_table.h"
#include "registration/registered_area.h"

namespace zelkan {

// What a run takes for one parcel; the settings give the defaults, a file
// or the command line may say otherwise for its parcel.
struct RegistrationInput {
    LandClass landClass = LandClass::Residential;
    PrecisionClass precision = PrecisionClass::None;
    std::optional<DecimalText> registeredArea;  // the 地積 on the register, where known
};

struct RegistrationFigures {
    CoordinateTable table;
    RegistrationInput input;
    DecimalText coordinateChiseki;                 // the 地積 of the table's area
    std::optional<DecimalText> sanshaArea;         // the 三斜 table's printed area
    std::optional<DecimalText> sanshaChiseki;      // and its 地積
    bool chisekiAgree = false;                     // both 地積 known and the same
    std::optional<DecimalText> tolerance;          // of the table's area; none without a 精度区分
    std::optional<bool> sanshaWithin;              // |三斜 - coordinate| <= tolerance
    std::optional<bool> registeredWithin;          // |coordinate - registered| <= tolerance
};

// The figures of a table (its problem empty) and the 三斜 table's printed
// area (empty or no plain decimal: no 三斜 figures).
RegistrationFigures RegistrationFiguresOf(CoordinateTable table, const std::string& sanshaAreaText,
                                          const RegistrationInput& input);

// "はい" / "いいえ", as the summary and the panel say a verdict.
inline const char* YesNo(bool v) { return v ? "はい" : "いいえ"; }

}  // namespace zelkan
