#pragma once
// What a measurement from the command line does alike for one parcel and for
// a file of many: Ctrl+C, the messages on standard error, the files a failed
// run leaves, the registration figures and what an outcome means.
#include <atomic>
#include <string>
#include <vector>

#include "app/measurement_run.h"
#include "boundary/coordinate_files.h"
#include "cli/cli_options.h"
#include "registration/registration_figures.h"
#include "settings/sansha_settings.h"

namespace zelkan::cli {

// Ctrl+C: how often it was pressed, and how many presses end the work in
// steps; the next one ends the program at once. One parcel: the first stops
// the search. A file: the first ends it after the parcels in hand, the
// second stops their searches; both keep what was measured.
extern std::atomic<int> interrupts;
extern std::atomic<int> interruptsHandled;
extern "C" void OnInterrupt(int);

// The folder with its separator at the end.
std::string WithSeparator(std::string folder);

// A message on standard error, after the program's name.
void Fail(const std::string& message);

// Removes what a failed run may have written under its base name.
void RemoveRunFiles(const std::string& runScript, const std::string& svg);

// The 地目 class and the 精度区分 of the settings, what the parcel's file
// says over them, and the command line's over both.
RegistrationInput RegistrationInputOfRun(const MeasureOptions& o, const SanshaSettings& settings,
                                         const ParcelRecord* parcel = nullptr);

// The registration figures of a parcel measured as far as its boundary,
// their drawing and CSV written and listed with the run's files.
RegistrationFigures WriteRegistration(const RegistrationInput& input, const SanshaSettings& settings,
                                      const std::vector<CoordinateCorner>& corners, const std::string& runScript,
                                      const std::string& sanshaAreaText, std::vector<std::string>& filesWritten);

// The exit code and the text of a run that ended without a drawing (or with one).
int ExitCodeOf(RunOutcome outcome);
std::string OutcomeText(const RunResult& result);

}  // namespace zelkan::cli
