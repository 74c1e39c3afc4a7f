#pragma once
// What the boundary read from the CAD must be before it is divided: a simple
// polygon. A closing vertex that repeats the first and doubled vertices are
// what a CAD writes for a closed polyline and are dropped; a boundary that
// crosses or touches itself cannot be divided into triangles that cover it
// once, and is refused.
#include <cstdint>
#include <string>

#include "engine/tables.h"

namespace zelkan {

// No survey drawing reaches this far from its origin, in any unit; beyond
// it squares of lengths and areas lose their meaning in a double.
inline constexpr long double kMaxCoordinate = 1e10L;

// Corners closer than this (drawing units) are one point to any survey: a
// billionth of the parcel's extent, far below a millimetre on any parcel.
// A triangle no higher than this is no triangle, and a side that passes
// this close to a corner runs through it.
long double CoincidenceTolerance(const EngineTables& t);

// Three corners (nearly) on one line: no higher than the tolerance over the
// longest side. Such a "triangle" covers nothing: it is no candidate, and
// no part of a division.
bool FlatTriangle(const TAcadPoint& a, const TAcadPoint& b, const TAcadPoint& c, long double tolerance);

// Removes vertices equal (in x and y) to the one before them, and a last
// vertex equal to the first; returns how many were removed.
int32_t DropRepeatedVertices(EngineTables& t);

// The note the front ends show when vertices were dropped.
std::string RepeatedVerticesNote(int32_t dropped);

inline constexpr const char* kTooThinMessage =
    "筆が細すぎて分割できません: 構成点 1, 2, 3 がほぼ一直線上にあります（面積のない三角形）";

// Throws InvalidInputError when a coordinate of vertices 1..xynum is not a
// finite number or lies beyond kMaxCoordinate, or when two sides of the boundary cross, touch or overlap
// (a side running back along its neighbour included), or when two corners
// lie within CoincidenceTolerance of each other, or when the three corners
// of a triangle form a FlatTriangle (kTooThinMessage). The message names the
// sides or corners by their vertex numbers. Corners on a straight run stay
// valid.
void CheckBoundaryShape(const EngineTables& t);

}  // namespace zelkan
