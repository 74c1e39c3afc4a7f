#pragma once
// The registration figures of a measured parcel beside its 三斜 table: the
// coordinate-method table, the 地積 and the tolerance, and their files.
#include <string>
#include <vector>

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

// The drawing's and the CSV's names of a run.
std::string CoordinateTableDrawingName(const std::string& runScript);
std::string CoordinateTableCsvName(const std::string& runScript);

}  // namespace zelkan
