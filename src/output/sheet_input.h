#pragma once
// What the printable sheet of one parcel (求積図) shows, taken from the
// tables of the run that measured it and from its area table: the corners
// with their names, each triangle with its number and the lines it was
// measured by, labelled with the table's own texts, and the blocks of text
// rows beside the drawing (the area table first, then whatever else is
// filed with the parcel).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/acad_point.h"
#include "engine/tables.h"
#include "output/area_table.h"
#include "registration/registration_figures.h"

namespace zelkan {

// A table of text rows under a title; every row has one cell a heading
// (an empty cell stays empty). The first column is centred, the others end
// at their right border, as numbers line up.
struct SheetBlock {
    std::string title;
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows;
};

struct SheetTitle {
    std::string parcel;  // its number and name
    std::string method;  // 三斜 or ヘロン
    std::string mode;    // the search mode
    std::string date;
};

// A triangle of the division; corners are indices into SheetInput::corners.
struct SheetTriangle {
    int32_t number = 0;
    std::array<int32_t, 3> corners{};  // i < j < k
    // Base and height: the base's corners, the height from the apex to its
    // foot on the base, and their texts in the table.
    struct Height {
        int32_t baseA = 0, baseB = 0;
        TAcadPoint apex{}, foot{};
        std::string baseText, heightText;
    };
    std::optional<Height> height;
    // Heron: the texts of the sides i-j, j-k and k-i.
    std::array<std::string, 3> sideTexts;
};

struct SheetInput {
    std::vector<TAcadPoint> corners;  // drawing units, x east and y north
    std::vector<std::string> cornerNames;
    std::vector<SheetTriangle> triangles;
    bool heron = false;
    int32_t measureScaleDenom = 1;  // drawing units per metre
    SheetTitle title;
    std::vector<SheetBlock> blocks;
};

// The coordinate-method table (its rows, then 倍面積, 面積 and 地積) and the
// 地積 and tolerance lines, as blocks beside the area table.
std::vector<SheetBlock> RegistrationBlocks(const RegistrationFigures& f);

// The area table as a block: No. and the measured values per triangle, then
// 合計, (１/２,) 面積 with their labels beside the last column.
SheetBlock AreaTableBlock(const AreaTableValues& table);

// The sheet of the division in t, measured as table prints it (its rows in
// the division's order). Corner names are given in the tables' vertex order;
// without them the corners are named by their vertex numbers. The blocks
// hold the area table; the title is left to the caller.
SheetInput SheetInputOf(const EngineTables& t, const AreaTableValues& table, int32_t measureScaleDenom,
                        const std::vector<std::string>& cornerNames);

// The names of a file's corners in the tables' vertex order: a vertex takes
// the name of the corner it was read from (the same x and y), its number
// where that corner has no name or none matches.
std::vector<std::string> CornerNamesInTableOrder(const EngineTables& t, const std::vector<TAcadPoint>& corners,
                                                 const std::vector<std::string>& names);

}  // namespace zelkan
