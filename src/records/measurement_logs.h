#pragma once
// The plain-text measurement logs of a run (ASCII, CR LF; each appears whole
// or not at all).
#include <optional>
#include <string>

#include "engine/coordinate_area.h"
#include "engine/tables.h"

namespace zelkan {

// The table of the coordinate area (.mem): a row a vertex, the sums, |S/2|;
// nothing for a parcel without vertices.
void WriteMemLog(const CoordinateArea& area, const std::string& path);

// Logs of every division are written in pieces of about this size.
inline constexpr size_t kLogChunkBytes = 1 << 20;

void WriteXyLog(const EngineTables& t, const std::string& path);   // vertices
void WriteCanLog(const EngineTables& t, const std::string& path);  // candidates
void WriteTriLog(const EngineTables& t, const std::string& path);  // the selected division
void WriteTrwLog(const EngineTables& t, const std::string& path);  // every division found

}  // namespace zelkan
