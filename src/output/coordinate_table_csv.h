#pragma once
// The coordinate-method table for a spreadsheet: UTF-8 with a byte order
// mark (as a Japanese spreadsheet opens it), CR LF, the figures as printed.
#include <string>

#include "registration/registration_figures.h"

namespace zelkan {

// The headings, a line a corner, then 倍面積, 面積 and 地積 under the fourth column.
std::string CoordinateTableCsv(const RegistrationFigures& f);

// Written whole, or InputOutputError naming the file. Nothing for a table with a problem.
void WriteCoordinateTableCsv(const RegistrationFigures& f, const std::string& fileName);

}  // namespace zelkan
