#pragma once
// The registry-map reader's parts shared by the reading of one XML file and
// of archives (not for other callers).
#include <string>
#include <string_view>
#include <vector>

#include "boundary/coordinate_files.h"

namespace zelkan {

// The parcels of one 地図XML text appended to parcels, each named by its
// 地番 alone, with its 大字名 and 丁目名 appended to districts. Throws
// InputOutputError naming label (and the line) where the text is no XML or
// no 地図XML.
void AppendRegistryMapParcels(std::string_view text, const std::string& label, std::vector<ParcelRecord>& parcels,
                              std::vector<std::string>& districts);

// Names every parcel uniquely: by its 地番, where two share one by district
// and 地番, and where those are shared too with a count after them.
void NameRegistryMapParcels(std::vector<ParcelRecord>& parcels, const std::vector<std::string>& districts);

}  // namespace zelkan
