#pragma once
// What zelkan-cli prints and lists of a parcel's registration figures: the
// coordinate-method table as aligned text, the 地積 and the tolerance, and
// the columns they add to summary.csv.
#include <string>

#include "engine/search_mode.h"
#include "registration/registration_figures.h"

namespace zelkan::cli {

// The heading "座標求積表", the rows, then 倍面積, 面積 and 地積; or the
// reason there is no table.
std::string FormatCoordinateTable(const RegistrationFigures& f);

// 地積（座標）, 地積（三斜） and whether they agree (in modes 1 and 2 said
// as the aim of the search), the 精度区分 with its tolerance and whether
// the areas lie within it.
std::string FormatRegistration(const RegistrationFigures& f, SearchMode searchMode);

// The summary.csv headings the figures add, each after a comma.
inline constexpr const char* kRegistrationCsvHeadings = ",倍面積,地積（座標）,地積（三斜）,地積一致,精度区分,公差,公差内";

// Their values, each after a comma; empty fields where a figure is not known.
std::string RegistrationCsvColumns(const RegistrationFigures* f);

}  // namespace zelkan::cli
