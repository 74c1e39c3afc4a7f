#pragma once
// Parcels from the coordinate files surveyors exchange: SIMA (the survey
// instruments' and programs' common format) and plain coordinate lists
// ("点名,X,Y" a line). X is north and Y east, in metres, so a corner's
// drawing x is its Y and its y its X, as the CAD export has them.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/acad_point.h"

namespace zelkan {

// One parcel of a file, in file order. A parcel that cannot be measured
// keeps its number and name and says why in problem.
struct ParcelRecord {
    std::string number;
    std::string name;
    std::vector<TAcadPoint> corners;  // a last corner repeating the first is left out
    // The corners' names where the file gives them (the SIMA point's name,
    // else its number; a list's 点名; a registry map's 点番名, "" where a
    // corner has none), one a corner; empty otherwise.
    std::vector<std::string> cornerNames;
    std::string problem;              // empty for a parcel that can be measured
    size_t unknownCorners = 0;        // corners the file lists that no point of it gives (problem says which)
    // What a file may say of the parcel's registration: its 精度区分 (by
    // name, 甲一 .. 乙三) and the 地積 on the register, as written; empty
    // where it says nothing, and the settings apply.
    std::string precisionClass;
    std::string registeredArea;
    // The coordinate system where the files of an archive each name their
    // own (empty: the file's zone).
    std::string zone{};
};

struct CoordinateFile {
    std::string zone;  // SIMA Z01: the plane-rectangular zone, as written
    std::vector<ParcelRecord> parcels;
};

// What a parcel file holds, told by its content.
enum class ParcelFileKind { BoundaryDxf, Sima, CoordinateList };
ParcelFileKind KindOfParcelFile(const std::string& path);

// The parcels of a SIMA file (CP932 or UTF-8, CR LF or LF, fields padded
// with blanks). A B01 record names its point by number, or by name where
// the number is missing or unknown, wherever in the file the point stands;
// a file may lack its last D99. A corner naming a point that two A01
// records give different coordinates is its parcel's problem, naming both
// lines. Throws InputOutputError naming the file and the line for a point
// record whose coordinates are no numbers, when the file holds no parcel
// (D00), and when it cannot be read.
CoordinateFile ReadSimaFile(const std::string& path);

// The one parcel of a coordinate list: "点名,X,Y" a line in boundary order,
// an optional header line (a first line without any number in it). Throws
// InputOutputError naming the file and the line for a line that is no
// corner.
CoordinateFile ReadCoordinateList(const std::string& path);

// The closed polylines of a DXF drawing of any version, in file order:
// LWPOLYLINE and POLYLINE with group 70 bit 1 (or whose last vertex lies on
// its first), each a parcel numbered from 1, only those on layer where one
// is given. A polyline with an arc (a bulge, group 42, not zero) is refused
// naming its vertex: a parcel boundary is straight between its points.
// Throws InputOutputError naming the file and the line for a group code or
// flag that is no integer or a coordinate that is no number, and naming the
// file when no closed polyline is there (saying whether the layer is).
CoordinateFile ReadDxfPolylines(const std::string& path, const std::string& layer);

// Every reader takes its numbers through CoordinateOfText: a coordinate
// beyond every double comes back infinite, for the boundary check to refuse.

// Whether a DXF drawing needs the reader above: it holds an LWPOLYLINE, or
// not exactly one closed POLYLINE, or a layer is asked for. The CAD's
// export of one boundary keeps its own reader.
bool NeedsPolylineReader(const std::string& path, const std::string& layer);

// The text of a file's line as UTF-8: taken as it is where it is valid
// UTF-8, from code page 932 otherwise.
std::string TextOfLine(const std::string& line);

}  // namespace zelkan
