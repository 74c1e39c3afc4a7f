#pragma once
// Drawings written from small fixed divisions, for the golden-file tests
// and for the check with a DXF library.
#include <string>
#include <vector>

namespace zelkan::test {

// Writes every sample into folder; returns the file names (without folder).
std::vector<std::string> WriteSampleDrawings(const std::string& folder);

}  // namespace zelkan::test
