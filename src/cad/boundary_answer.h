#pragma once
// What the CAD's boundary command answered: how many polylines it made
// around the point it was given. The tool erases and measures the drawing's
// last object only when that object is the boundary it asked for.
#include <optional>
#include <string_view>

namespace zelkan {

// The count of polylines that the last boundary command in the history
// reports ("BOUNDARY は 1 個のポリラインを作成しました", "BOUNDARY created 1
// polyline"); none when the history holds no such answer after the
// command's echo.
std::optional<int> BoundaryPolylinesMade(std::string_view history);

}  // namespace zelkan
