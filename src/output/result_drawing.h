#pragma once
// The chosen division as a drawing for the CAD to insert: inner sides,
// lengths, heights and triangle numbers (the boundary itself is already in
// the user's drawing).
#include <cstdint>
#include <string>

#include "engine/tables.h"
#include "geometry/rounding.h"

namespace zelkan {

struct DrawingStyle {
    std::string layerHen;     // triangle sides
    std::string layerTakasa;  // height lines
    std::string layerText;    // texts and number marks
    double labelHeight = 3;   // length labels, already times the drawing scale
    double numberHeight = 4;
    double numberRadius = 5;
    KetaMode lengthMode = KetaMode::None;
    int32_t lengthDigits = 0;
    int32_t measureScaleDenom = 1;
};

// 三斜: each triangle on its longest side with its height; records the
// measured points in triheights for the area table. A triangle whose foot
// cannot be computed is left out (its inner sides still get lines).
void WriteResultDrawing(EngineTables& t, const std::string& fileName, int32_t firstNumber, const DrawingStyle& style);

// Heron: every side's length and each triangle's number at its centroid.
void WriteHeronResultDrawing(const EngineTables& t, const std::string& fileName, int32_t firstNumber,
                             const DrawingStyle& style);

}  // namespace zelkan
