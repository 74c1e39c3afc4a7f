#pragma once
// Parcels from the registry map (登記所備付地図) in its XML form (地図XML):
// every 筆 of the file with a 地番 is a parcel, its corners in the file's
// own plane coordinates (X north, Y east, in metres: a corner's drawing x is
// its Y, as in a SIMA file), the point names (点番名) of its boundary points,
// its accuracy class (精度区分) and the file's coordinate system (座標系).
// A 筆 that cannot be measured (a road or water without a 地番, an
// undetermined boundary, a hole, a ring that does not close, a reference to
// nothing) is a parcel with its reason, never left out.
#include <string>
#include <string_view>

#include "boundary/coordinate_files.h"

namespace zelkan {

// Whether the file is for the reader below: a zip archive, or XML (a file
// whose first character past a byte order mark and blanks is "<"). The
// reader says what it finds when the XML is no 地図XML.
bool IsRegistryMapFile(const std::string& path);

// The parcels of a 地図XML file, or of every 地図XML file in a zip archive
// (members that are archives read in turn, one XML file in memory at a
// time; members that are neither left alone). Where two 筆 share a 地番 the
// name adds the 大字名 and 丁目名. An XML file of an archive that cannot be
// read is a parcel of its own with the reason (its name the member's path),
// and the other files are read. Throws InputOutputError naming the file
// (and the line) when the file itself cannot be read: not XML, no
// 地図XML, an XML error, a broken archive.
CoordinateFile ReadRegistryMap(const std::string& path);

// The parcels of one 地図XML text; label names it in messages.
CoordinateFile ReadRegistryMapXml(std::string_view text, const std::string& label);

}  // namespace zelkan
