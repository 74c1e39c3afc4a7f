#pragma once
// The measurement of a file of many parcels: each parcel on its own, on
// every core, listed in summary.csv (and index.html with the sheets).
#include <string>

#include "boundary/coordinate_files.h"
#include "cli/cli_options.h"
#include "engine/search_mode.h"
#include "settings/sansha_settings.h"

namespace zelkan::cli {

// Every parcel of a file (those --only names), each on its own; one line
// each in summary.csv, in file order (UTF-8 with a byte order mark, as a
// Japanese spreadsheet opens it). The parcels are measured on every core,
// each run independent of the others, unless their numbers run on from one
// to the next. Ctrl+C ends after the parcels in hand, a second one stops
// their searches; from the first on, summary.csv on disk lists what was
// measured and what was not, and the exit code says the file was not done.
// Otherwise the exit code is the worst of the parcels'.
int MeasureParcels(const MeasureOptions& o, const SanshaSettings& settings, SearchMode searchMode,
                   const std::string& out, const CoordinateFile& file);

}  // namespace zelkan::cli
