#pragma once
// The page to look through the parcels of a file: index.html beside
// summary.csv, one row a parcel linking to its sheet, sortable by a click on
// a column heading, marked where a parcel was not measured cleanly. Plain
// HTML and CSS with a few lines of script, UTF-8, nothing fetched.
#include <string>
#include <vector>

namespace zelkan {

struct IndexRow {
    enum class State {
        Clean,      // measured, the selection exact
        NotExact,   // measured, the division chosen from those stored
        Failed,     // not measured: the outcome says why
    };
    std::string number, name, corners, coordinateArea, tableTotal, area, difference, outcome;
    State state = State::Failed;
    bool rowsBeyond = false;         // measured, with rows of its table beyond their bound
    std::string sheet;               // the sheet's address from the page, empty without one
    std::vector<std::string> extra;  // the values of ParcelIndex::extraHeadings
};

struct ParcelIndex {
    std::string title;  // the file measured
    std::vector<std::string> extraHeadings;
    std::vector<IndexRow> rows;
};

std::string ParcelIndexHtml(const ParcelIndex& index);

// A relative path as an address: "/" between its parts, every byte but the
// unreserved ones percent-encoded.
std::string RelativeAddress(const std::string& utf8Path);

// An absolute path as a file address ("file:///C:/..." or "file:///home/..."),
// for a sheet on another drive than the page.
std::string FileAddress(const std::string& utf8AbsolutePath);

}  // namespace zelkan
