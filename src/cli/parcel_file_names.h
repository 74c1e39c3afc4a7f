#pragma once
// The names a file's parcels give their drawings, one of their own each.
#include <string>
#include <vector>

#include "boundary/coordinate_files.h"

namespace zelkan::cli {

// A parcel's name as a file name: its name, or its number where the name
// holds a character no file name may.
std::string FileNameOf(const ParcelRecord& parcel);

// The file names of every parcel of a file, in file order, no two alike
// even where the file system ignores the case of letters: a name that
// repeats (two lots with the same 地番, a lot named 2 beside an unnamed lot
// numbered 2) takes its number, and its place in the file where that is
// not enough. Made for the whole file, so that a parcel keeps its name
// whichever parcels are measured.
std::vector<std::string> ParcelFileNames(const std::vector<ParcelRecord>& parcels);

}  // namespace zelkan::cli
