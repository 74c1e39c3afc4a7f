#pragma once
// zelkan-cli's sheets: the printable sheet (求積図) of a measured parcel,
// and for a file of many parcels a sheet each and the page that lists them.
#include <string>
#include <vector>

#include "app/measurement_run.h"
#include "boundary/coordinate_files.h"
#include "cli/summary.h"
#include "output/parcel_index.h"
#include "registration/registration_figures.h"

namespace zelkan::cli {

// What every sheet of a run says in its title block beside the parcel.
struct SheetRun {
    std::string folder;  // where the sheets of a file go, with its separator
    std::string date;
    std::string method;
    std::string mode;
};

// The run's title-block texts; the folder is made when one is given.
SheetRun StartSheets(const std::string& folder, SearchMode searchMode, const SanshaSettings& settings);

// Writes the sheet of the last run's division (the area table's texts in
// table) to path. Corner names are those of the file's corners, when given;
// the registration figures go beside the area table, when given.
void WriteParcelSheet(const std::string& path, const SheetRun& run, const MeasurementState& state,
                      const SanshaSettings& settings, const AreaTableValues& table, const std::string& parcelTitle,
                      const ParcelRecord* parcel, const RegistrationFigures* registration);

// The sheet of a parcel of a file, in the run's folder under the name its
// drawings have; returns its address as index.html beside out links it.
std::string WriteSheetOfFile(const SheetRun& run, const std::string& out, const std::string& fileName,
                             const MeasurementState& state, const SanshaSettings& settings,
                             const AreaTableValues& table, const ParcelRecord& parcel,
                             const RegistrationFigures* registration);

// One row of the page from the parcel's row of summary.csv: the figures,
// the registration columns the page shows, and its state.
IndexRow IndexRowOf(const SummaryRow& summary);

// The columns index.html adds after the outcome: how far the rows stray
// and the registration figures, where a parcel has them.
std::vector<std::string> IndexExtras(const std::string& rowError, const RegistrationFigures* figures);

// index.html in out, for the file measured.
std::string WriteParcelIndex(const std::string& out, const std::string& parcelFile, const std::vector<IndexRow>& rows);

}  // namespace zelkan::cli
