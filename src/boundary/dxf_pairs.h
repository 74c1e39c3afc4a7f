#pragma once
// The group-code / value pairs of a DXF file, read by one rule for every
// reader of drawings.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "geometry/line_reader.h"

namespace zelkan {

// An integer as a DXF file writes a group code or a flag: blanks and tabs
// around it, an optional sign, decimal digits only, within int32. "1e1",
// "10.0" and "1e10" are no integers.
std::optional<int32_t> DxfInteger(std::string_view text);

// What every reader of a parcel says of a vertex with a bulge (group 42):
// the area between the points is not the parcel's.
std::string ArcAtVertexMessage(size_t vertex);

class DxfPairReader {
public:
    DxfPairReader(LineReader lines, std::string fileName) : lines_(std::move(lines)), fileName_(std::move(fileName)) {}

    // The next pair, or false at the end of the file (trailing blank lines
    // included). Blank lines before a group code are passed over; the code is
    // the first word of its line and must be an integer (InputOutputError
    // naming the line otherwise); the value is the whole next line.
    bool Next(int32_t& code, std::string& value);

    // The line of the last value read.
    int64_t valueLine() const { return valueLine_; }

private:
    LineReader lines_;
    std::string fileName_;
    int64_t valueLine_ = 0;
};

}  // namespace zelkan
