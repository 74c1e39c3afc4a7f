#pragma once
// The plain-text measurement logs of a run (ASCII, CR LF; each appears whole
// or not at all).
#include <optional>
#include <string>

#include "engine/coordinate_area.h"
#include "engine/tables.h"

namespace zelkan {

// The coordinate area |S/2| in measure units (scaleDenom drawing units each), from
// the shoelace terms rounded to six decimals. When path is not empty, the
// table that explains it is written there; when exact is given, it receives
// |S/2| as the exact decimal of those terms (nothing where a term is no
// plain decimal).
double CoordArea(const EngineTables& t, int32_t scaleDenom, const std::string& path,
                 std::optional<DecimalText>* exact = nullptr);

// The table of the coordinate area (.mem): a row a vertex, the sums, |S/2|.
void WriteMemLog(const CoordinateArea& area, const std::string& path);

// Logs of every division are written in pieces of about this size.
inline constexpr size_t kLogChunkBytes = 1 << 20;

void WriteXyLog(const EngineTables& t, const std::string& path);   // vertices
void WriteCanLog(const EngineTables& t, const std::string& path);  // candidates
void WriteTriLog(const EngineTables& t, const std::string& path);  // the selected division
void WriteTrwLog(const EngineTables& t, const std::string& path);  // every division found

}  // namespace zelkan
