#pragma once
// The registration figures of a measured parcel beside its 三斜 table: the
// coordinate-method table, the 地積 and the tolerance, and their files.
#include <string>
#include <vector>

#include "app/measurement_run.h"
#include "registration/parcel_corners.h"
#include "registration/registration_figures.h"
#include "settings/sansha_settings.h"

namespace zelkan {

// The figures of corners in boundary order, by the settings' decimals; the
// 三斜 table's printed area where a division was drawn (else empty).
RegistrationFigures ParcelRegistration(const std::vector<CoordinateCorner>& corners, const SanshaSettings& settings,
                                       const std::string& sanshaAreaText, const RegistrationInput& input);

// runScript + "zahyo.dxf" in the area table's style and layer, and
// runScript + "zahyo.csv" when the settings ask; the names written (none
// for a table with a problem).
std::vector<std::string> WriteRegistrationFiles(const RegistrationFigures& f, const SanshaSettings& settings,
                                                const std::string& runScript);

// The figures of the last run's boundary (the vertex table, numbered in
// working order) and its 三斜 table, by the settings.
RegistrationFigures LastRunRegistration(const MeasurementState& state, const SanshaSettings& settings);

// The width of the last run's area table in drawing units: where the
// coordinate-method table beside it begins, a gap of two text heights on.
double AreaTableWidth(const SanshaSettings& settings);

// One line for the panel: the coordinate 地積, whether the 三斜 地積 is the
// same, and the tolerance verdict where a 精度区分 is set.
std::string RegistrationPanelText(const RegistrationFigures& f);
// The longest such line a parcel of the tool gives, for the status line's height.
inline constexpr const char* kLongestRegistrationPanelText = "地積 9999999.99（三斜 9999999.99） 乙三 公差外";

// The drawing's and the CSV's names of a run.
std::string CoordinateTableDrawingName(const std::string& runScript);
std::string CoordinateTableCsvName(const std::string& runScript);

}  // namespace zelkan
