#pragma once
// What a run selects: the search modes of the main window's box and of the
// command-line tool.
#include <cstdint>

namespace zelkan {

enum class SearchMode : int32_t {
    Shape = 0,     // 正三角形状優先
    Closest = 1,   // 面計測値に最も近い
    NotAbove = 2,  // （超えない）面計測値に最も近い
    Fast = 3,      // 高速
};

// A mode from its number in the settings file, the box or the command
// line; a number outside 0..3 is mode 0.
inline SearchMode SearchModeOf(int32_t number) {
    return number >= 0 && number <= 3 ? static_cast<SearchMode>(number) : SearchMode::Shape;
}

// The mode's number, as the settings file and the box keep it.
inline int32_t ModeNumber(SearchMode mode) { return static_cast<int32_t>(mode); }

}  // namespace zelkan
