#pragma once
// The area table (求積表) of the division the last result drawing showed:
// one row per triangle, the total and the parcel area, every value a
// rounded text and every sum formed from the printed texts.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/tables.h"
#include "settings/sansha_settings.h"

namespace zelkan {

struct TableStyle {
    std::string layer;         // kyuLayer
    double textHeight = 4;     // t, already times the drawing scale
    double rowHeight = 8;      // B
    RunRounding rounding;
    int32_t measureScaleDenom = 1;
    double rowBoundFactor = 0;  // rows beyond the row bound get kRowBeyondBoundMark; 0: none
};

// Beside a row whose printed area strays from its triangle's exact area
// beyond the row bound.
inline constexpr const char* kRowBeyondBoundMark = "※";

// Column widths in characters.
struct SanshaColumns {
    int32_t no = 3, teihen = 10, takasa = 10, men = 14;
};
struct HeronColumns {
    int32_t no = 3, a = 8, b = 8, c = 8, men = 14;
};

// The texts of an area table: one row per triangle, then the totals. Every
// value is a rounded text and every sum is formed from the printed texts.
struct AreaTableValues {
    struct Row {
        int32_t number = 0;
        std::vector<std::string> values;  // 底辺, 高さ, 面積 or a, b, c, 面積
        // |printed - exact area| over the row bound (of the default factor
        // where the bound is off), and whether the row is marked for it.
        double boundRatio = 0;
        bool beyondBound = false;
    };
    bool heron = false;
    std::vector<Row> rows;
    std::string totalText;   // 合計
    std::string halfText;    // １/２ (三斜 only)
    std::string resultText;  // 面積, in the result rounding
};

// 三斜: base and height from triheights, base x height per row.
// rowBoundFactor: rows beyond the row bound of this factor are marked (0: none).
AreaTableValues SanshaTableValues(const EngineTables& t, int32_t firstNumber, const RunRounding& r,
                                  int32_t measureScaleDenom, double rowBoundFactor = 0);
// Heron: the three sides from the vertices, Heron's area per row.
AreaTableValues HeronTableValues(const EngineTables& t, int32_t firstNumber, const RunRounding& r,
                                 int32_t measureScaleDenom, double rowBoundFactor = 0);

// The worst row's boundRatio and the number of marked rows (of rows beyond
// the bound of the default factor where none are marked).
struct RowErrorSummary {
    double worstRatio = 0;
    int32_t rowsBeyond = 0;
};
RowErrorSummary SummarizeRowErrors(const AreaTableValues& v);

SanshaColumns SanshaColumnsOf(const SanshaSettings& s);
HeronColumns HeronColumnsOf(const SanshaSettings& s);

// No., 底辺, 高さ, 面積 (base x height) per triangle from triheights; then
// 合計, １/２ and 面積. A row beyond the row bound is marked right of the table.
void WriteAreaTable(const EngineTables& t, const std::string& fileName, int32_t firstNumber, const TableStyle& style,
                    const SanshaColumns& columns);

// No., a, b, c, 面積 (Heron) per triangle from the vertices; then 合計 and 面積.
void WriteHeronAreaTable(const EngineTables& t, const std::string& fileName, int32_t firstNumber,
                         const TableStyle& style, const HeronColumns& columns);

}  // namespace zelkan
