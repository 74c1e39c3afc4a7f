#pragma once
// Drawings written from small fixed divisions, for the golden-file tests
// and for the check with a DXF library.
#include <string>
#include <vector>

#include "registration/registration_figures.h"

namespace zelkan::test {

// Writes every sample into folder; returns the file names (without folder).
std::vector<std::string> WriteSampleDrawings(const std::string& folder);

// Four corners at (3.02, -12.11), (13.18, -12.73), (23.81, 10.11), (0.86,
// 16.53) in X, Y (double area 882.0658), with a 三斜 area of 441.04, 宅地, 甲二.
RegistrationFigures FourCornerFigures();

}  // namespace zelkan::test
