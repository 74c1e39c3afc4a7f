#pragma once
// What a run selects: the search modes of the main window's box and of the
// command-line tool, and everything a mode means. A new mode is added here
// first: every switch below then names the places it must reach.
#include <cstdint>

namespace zelkan {

enum class SearchMode : int32_t {
    Shape = 0,     // 正三角形状優先
    Closest = 1,   // 面計測値に最も近い
    NotAbove = 2,  // （超えない）面計測値に最も近い
    Fast = 3,      // 高速
};

// How many modes there are: their numbers run from 0 to one less.
inline constexpr int32_t kSearchModeCount = 4;

// The mode's number, as the settings file, the box and the command line keep it.
constexpr int32_t ModeNumber(SearchMode mode) { return static_cast<int32_t>(mode); }

// A mode from its number; a number that is no mode is mode 0.
constexpr SearchMode SearchModeOf(int32_t number) {
    return number >= 0 && number < kSearchModeCount ? static_cast<SearchMode>(number) : SearchMode::Shape;
}

// The mode's name, as the window program's box lists it.
constexpr const char* SearchModeName(SearchMode mode) {
    switch (mode) {
        case SearchMode::Shape: return "正三角形状優先";
        case SearchMode::Closest: return "面計測値に最も近い";
        case SearchMode::NotAbove: return "（超えない）面計測値に最も近い";
        case SearchMode::Fast: return "高速";
    }
    return "";
}

// The division is chosen by its area's distance from the coordinate area
// (otherwise by its shape, or by the fast pass alone).
constexpr bool IsAreaMode(SearchMode mode) {
    switch (mode) {
        case SearchMode::Closest:
        case SearchMode::NotAbove: return true;
        case SearchMode::Shape:
        case SearchMode::Fast: return false;
    }
    return false;
}

// Only a total that stays below the coordinate area may win.
constexpr bool StaysBelowArea(SearchMode mode) {
    switch (mode) {
        case SearchMode::NotAbove: return true;
        case SearchMode::Shape:
        case SearchMode::Closest:
        case SearchMode::Fast: return false;
    }
    return false;
}

// The divisions are searched for and evaluated, so that the choice can be
// made exactly; the fast mode takes the one its single pass places.
constexpr bool IsEvaluated(SearchMode mode) {
    switch (mode) {
        case SearchMode::Shape:
        case SearchMode::Closest:
        case SearchMode::NotAbove: return true;
        case SearchMode::Fast: return false;
    }
    return false;
}

}  // namespace zelkan
