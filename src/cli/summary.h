#pragma once
// The readable summary of a measurement that zelkan-cli prints.
#include <optional>
#include <string>
#include <string_view>

#include "app/measurement_run.h"
#include "registration/registration_figures.h"

namespace zelkan::cli {

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

// One parcel's line of summary.csv. The texts are as printed; a parcel not
// measured leaves the figures of its table empty.
struct SummaryRow {
    std::string number, name;
    std::string corners;         // every corner its file lists
    std::string coordinateArea;  // empty where the run did not come so far
    std::string tableTotal, area, difference;  // empty where no table was drawn
    SearchMode mode = SearchMode::Shape;
    std::optional<bool> exact;  // whether the selection was exact; none where no search ran
    std::string outcome;        // what happened
    std::string zone;           // the plane-rectangular zone its file names
    std::string drawings;       // the name its drawings begin with
    std::string rowError;       // how far its rows stray (RowErrorText)
    // The registration figures; without them only the 精度区分 its file gives.
    std::optional<RegistrationFigures> registration;
    std::string precisionClass;

    bool measured() const { return !tableTotal.empty(); }
};

// The first line of summary.csv, after the byte order mark.
std::string SummaryCsvHeading();

// A row of summary.csv, CR LF included.
std::string SummaryCsvLine(const SummaryRow& row);

// A field of a CSV line, quoted where it holds a comma, a quote or a line end.
std::string CsvField(const std::string& text);

}  // namespace zelkan::cli
