#pragma once
// The evaluation log (".trs") and the saving of the last run's logs under a
// name the user chooses.
#include <string>

#include "engine/tables.h"
#include "records/run_names.h"
#include "settings/sansha_settings.h"

namespace zelkan {

// What the logs of the last run were measured with.
struct RunMeasure {
    RunRounding rounding;
    int32_t scaleDenom = 1;  // measuring scale: drawing units per measure unit
    double menkei = 0.0;     // the coordinate area of the run
};

// Appends the header lines (rounding rules, vertices, menkei, scale) to file.
void WriteTrsHeader(std::string& file, const EngineTables& t, const RunMeasure& m);

// Evaluates the current division (tritable, trinum) again by the longest
// side and by Heron's formula and appends its triangle lines and summary as
// division g.
void WriteTrsDivision(std::string& file, int32_t g, const EngineTables& t, const RunMeasure& m);

// Writes the last run's ".xy", ".can", ".mem", ".tri", ".trw" and the
// evaluation log ".trs" under the chosen name (its extension replaced), and
// returns the six paths, which stay in force until the next run. Each
// division in turn becomes the current one; the one current before stays.
LogPaths SaveLogsAs(EngineTables& t, const std::string& chosenName, const RunMeasure& m);

// The text shown after the work folder has been moved to the recycle bin.
std::string HistoryDeletedMessage(const std::string& workFolder);
// The question asked before: the whole folder goes, settings and logs alike.
std::string HistoryDeletionQuestion(const std::string& workFolder);

#ifdef _WIN32
// Moves the folder (with or without its trailing backslash) to the recycle
// bin, silently; a missing folder is left alone and errors are swallowed.
void RecycleFolder(const std::string& path);
#endif

}  // namespace zelkan
