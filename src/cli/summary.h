#pragma once
// The readable summary of a measurement that zelkan-cli prints.
#include <string>
#include <string_view>

#include "app/measurement_run.h"

namespace zelkan::cli {

// The search mode's name, as the window program's box lists it.
const char* SearchModeName(SearchMode mode);

// Columns a text takes in a terminal (East Asian wide characters take two).
size_t DisplayWidth(std::string_view utf8);

// The area table as aligned text: a heading row, one row per triangle, then
// 合計, (１/２,) 面積.
std::string FormatAreaTable(const AreaTableValues& v);

// Modes 0-2: whether the selection is the full search's, and whether every
// division was stored.
std::string SelectionNote(const RunResult& result);

std::string FormatSummary(const std::string& parcel, SearchMode searchMode, const RunResult& result,
                          const AreaTableValues* table);

}  // namespace zelkan::cli
