#pragma once
// The area table (求積表) of the division the last result drawing showed:
// one row per triangle, the total and the parcel area, every value a
// rounded text and every sum formed from the printed texts.
#include <cstdint>
#include <string>

#include "engine/tables.h"
#include "settings/sansha_settings.h"

namespace zelkan {

struct TableStyle {
    std::string layer;         // kyuLayer
    double textHeight = 4;     // t, already times the drawing scale
    double rowHeight = 8;      // B
    RunRounding rounding;
    int32_t measureScaleDenom = 1;
};

// Column widths in characters.
struct SanshaColumns {
    int32_t no = 3, teihen = 10, takasa = 10, men = 14;
};
struct HeronColumns {
    int32_t no = 3, a = 8, b = 8, c = 8, men = 14;
};

SanshaColumns SanshaColumnsOf(const SanshaSettings& s);
HeronColumns HeronColumnsOf(const SanshaSettings& s);

// No., 底辺, 高さ, 面積 (base x height) per triangle from triheights; then
// 合計, １/２ and 面積.
void WriteAreaTable(const EngineTables& t, const std::string& fileName, int32_t firstNumber, const TableStyle& style,
                    const SanshaColumns& columns);

// No., a, b, c, 面積 (Heron) per triangle from the vertices; then 合計 and 面積.
void WriteHeronAreaTable(const EngineTables& t, const std::string& fileName, int32_t firstNumber,
                         const TableStyle& style, const HeronColumns& columns);

}  // namespace zelkan
