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

// The worst row's stray from its exact area as a multiple of the row bound,
// and the rows beyond it: summary.csv's 行誤差.
std::string RowErrorText(const AreaTableValues& table);

// The same, with the factor, the candidates the bound took out, and what to
// do where no division stays within it: the summary's 行誤差.
std::string RowErrorNote(const RunResult& result, const AreaTableValues& table, bool useHeron);

std::string FormatSummary(const std::string& parcel, SearchMode searchMode, const RunResult& result,
                          const AreaTableValues* table);

}  // namespace zelkan::cli
