#pragma once
// Finds the largest triangle number among the texts of an exported drawing:
// texts on the label layer in the block definitions (between the STYLE
// table and the ENTITIES section) and in the ENTITIES section.
#include <cstdint>
#include <string>
#include <string_view>

namespace zelkan {

// The scan keeps the layer of the last text it met from one scan to the next.
struct DrawingNumberScan {
    std::string currentTextLayer;
};

// Raises drawingMaxNo to every number found (a number from kMaxFirstNumber
// on counts as kMaxFirstNumber - 1, so that the next number can still be
// drawn from); a missing file changes nothing.
// A group-code line that is not an integer raises InputOutputError naming
// the file, drawingMaxNo keeping what it had reached.
void ScanDrawingNumbers(DrawingNumberScan& scan, const std::string& fileName, std::string_view layerText,
                        int32_t& drawingMaxNo);

// A text as an integer: leading blanks, an optional sign and digits, and
// nothing else (a trailing blank neither); otherwise 0.
int32_t TextNumberOrZero(std::string_view text);

}  // namespace zelkan
